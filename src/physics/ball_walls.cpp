#include "app/app.hpp"

namespace flopkin {

// The walls are the view's edges; a ball that crosses one is set on it and
// bounces with restitution 0.8 while friction takes a tenth of its motion
// along the wall.
void ball::keep_in_view() {
    float right = owner->view_cx + owner->area_width / 2 / owner->zoom;
    float left = owner->view_cx - owner->area_width / 2 / owner->zoom;
    wall_hit = 0;
    if (x > right - radius) {
        x = right - radius;
        vx = -0.8f * vx;
        vy = 0.9f * vy;
        wall_hit = 1;
    }
    if (x < left + radius) {
        x = left + radius;
        vx = -0.8f * vx;
        vy = 0.9f * vy;
        wall_hit = 1;
    }
    if (y > owner->view_bottom - radius) {
        y = owner->view_bottom - radius;
        vy = -0.8f * vy;
        vx = 0.9f * vx;
        wall_hit = 1;
    }
    if (y < owner->view_top + radius) {
        y = owner->view_top + radius;
        vy = -0.8f * vy;
        vx = 0.9f * vx;
        wall_hit = 1;
    }
}

void ball::update_velocity() {
    vx = x - old_x;
    vy = y - old_y;
}

}  // namespace flopkin
