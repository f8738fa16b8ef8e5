// Start-up and documents until the files land.
#include "app/app.hpp"
#include "platform/graphics.hpp"
#include "platform/random.hpp"
#include "ui/menu.hpp"

namespace flopkin {
bool app::start_up(std::string&) {
    menu->owner = this;
    seed_rnd(millisecs());
    return true;
}
void app::shut_down() {}
void app::load_document(int, const std::string&) {}
void app::save_document() {}
void app::save_document_as() {}
}  // namespace flopkin
