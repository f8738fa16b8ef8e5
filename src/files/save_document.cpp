#include "app/app.hpp"
#include "files/save_message.hpp"

namespace flopkin {

void app::save_document() {
    number_balls();
    if (mode == 1) build_tensions();  // the saved tensions match the drawn links
    if (document_path.empty()) {
        save_document_as();
        return;
    }
    std::string why;
    show_save_result(*this, write_document(document_path, why));
    number_balls();
}

}  // namespace flopkin
