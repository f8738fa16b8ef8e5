#include "app/app.hpp"
#include "files/save_message.hpp"
#include "platform/file_system.hpp"
#include "platform/graphics.hpp"

namespace flopkin {

namespace {
constexpr const char* document_folder = "saved flopkins";
constexpr const char* untitled_document = "saved flopkins/untitled.fkn";
}  // namespace

void app::save_document_as() {
    number_balls();
    if (mode == 1) build_tensions();
    flush_keys();
    create_folder(document_folder);  // only the last element; a failure shows when writing
    std::string chosen =
        request_file("Save as:", "", true, document_path.empty() ? untitled_document : document_path);
    // cancelling is no failure; a chosen name that cannot be written is
    std::string why;
    if (!chosen.empty() && !write_document(chosen, why)) show_save_result(*this, false);
    flush_keys();
    number_balls();
}

}  // namespace flopkin
