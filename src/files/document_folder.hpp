#pragma once
// Where the documents are kept: a folder below the working directory, which
// holds the document loaded at start-up and the name "Save as" proposes.
// The page's storage reads the folder's and the start-up document's names
// from here too, as the web build writes them out for it.
#include <string>

namespace flopkin {

inline constexpr const char* document_folder = "saved flopkins";
inline constexpr const char* start_up_document_name = "flopkin.fkn";
// the figure a link to the page carries, put in the working folder by the
// page: named so that what is said of it reads well
inline constexpr const char* linked_figure_name = "the figure in this link";
inline const std::string default_document = std::string(document_folder) + "/" + start_up_document_name;
inline const std::string untitled_document = std::string(document_folder) + "/untitled.fkn";

}  // namespace flopkin
