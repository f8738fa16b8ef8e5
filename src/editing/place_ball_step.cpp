// Draw mode: a click on empty canvas, or the release of a link drag over empty
// canvas, places a new ball under the pointer.
#include "app/app.hpp"
#include "editing/pick.hpp"
#include "physics/view.hpp"
#include "platform/graphics.hpp"

namespace flopkin {

void app::place_ball_step() {
    // the press count is read every draw frame, so presses never pile up
    int pressed = mouse_hit(1);
    bool drag_released = link_drag_active == 1 && !mouse_down(1);
    if (pressed == 0 && !drag_released) return;

    float px = static_cast<float>(mouse_x());
    float py = static_cast<float>(mouse_y());
    if (px >= area_width) return;  // over the menu
    if (last_ball_under(balls, px, py)) return;

    before_edit();
    auto placed = std::make_shared<ball>();
    placed->x = screen_to_world(px, view_cx, zoom, area_width);
    placed->y = screen_to_world(py, view_cy, zoom, static_cast<float>(screen_height));
    placed->old_x = placed->x;
    placed->old_y = placed->y;
    placed->owner = this;
    placed->radius = ball_size;
    // cached at once so that link_step can pick it in this same frame
    placed->to_screen();
    balls.add_last(placed);
    placed->number = static_cast<int>(balls.count());
    selected = placed;
}

}  // namespace flopkin
