// Empty places of the frame until editing lands.
#include "app/app.hpp"

namespace flopkin {
void app::place_ball_step() {}
void app::link_step() {}
void app::build_tensions() {}
void app::label_figures() {}
void app::drag_step() {}
}  // namespace flopkin
