#pragma once
// Where the documents are kept: a folder below the working directory, which
// holds the document loaded at start-up and the name "Save as" proposes.
#include <string>

namespace flopkin {

inline constexpr const char* document_folder = "saved flopkins";
inline const std::string default_document = std::string(document_folder) + "/flopkin.fkn";
inline const std::string untitled_document = std::string(document_folder) + "/untitled.fkn";

}  // namespace flopkin
