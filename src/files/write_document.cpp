#include "app/app.hpp"
#include "files/document_format.hpp"
#include "platform/file_system.hpp"

namespace flopkin {

// The old file stays whole until the new content is complete on disk; the
// document path follows only a write that succeeded.
bool app::write_document(const std::string& path, std::string& why) {
    if (!replace_file(path, [this](stream& out) { write_figure(out, *this); }, why)) return false;
    document_path = path;
    kept_figure = history.figure_id();  // this figure is safe now: no recovery file for it
    return true;
}

}  // namespace flopkin
