// Empty places of the frame until the menu and command handling land.
#include "app/app.hpp"
#include "ui/menu.hpp"

namespace flopkin {
void menu::layout() {}
void menu::draw() {}
void app::handle_commands() { force_draw_mode_if_empty(); }
}  // namespace flopkin
