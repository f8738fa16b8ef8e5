#pragma once
// Where the documents are kept: a folder below the working directory, which
// holds the document loaded at start-up and the name "Save as" proposes.
// The page's storage reads the folder's and the start-up document's names
// from here too, as the web build writes them out for it.
#include <string>

namespace flopkin {

inline constexpr const char* document_folder = "saved flopkins";
inline constexpr const char* start_up_document_name = "flopkin.fkn";
inline const std::string default_document = std::string(document_folder) + "/" + start_up_document_name;
inline const std::string untitled_document = std::string(document_folder) + "/untitled.fkn";

}  // namespace flopkin
