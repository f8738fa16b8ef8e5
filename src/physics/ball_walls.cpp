#include "physics/constants.hpp"
#include "physics/figure.hpp"
#include "physics/view.hpp"

namespace flopkin {

// The walls are the view's edges; a ball that crosses one is set on it and
// bounces with restitution 0.8 while friction takes a tenth of its motion
// along the wall.
void ball::keep_in_view(const view_fields& v) {
    float right = v.view_cx + v.area_width / 2 / v.zoom;
    float left = v.view_cx - v.area_width / 2 / v.zoom;
    wall_hit = 0;
    if (x > right - radius) {
        x = right - radius;
        vx = -restitution * vx;
        vy = friction * vy;
        wall_hit = 1;
    }
    if (x < left + radius) {
        x = left + radius;
        vx = -restitution * vx;
        vy = friction * vy;
        wall_hit = 1;
    }
    if (y > v.view_bottom - radius) {
        y = v.view_bottom - radius;
        vy = -restitution * vy;
        vx = friction * vx;
        wall_hit = 1;
    }
    if (y < v.view_top + radius) {
        y = v.view_top + radius;
        vy = -restitution * vy;
        vx = friction * vx;
        wall_hit = 1;
    }
}

// no damping: the frame's displacement is the next frame's velocity
void ball::update_velocity() {
    vx = x - old_x;
    vy = y - old_y;
}

}  // namespace flopkin
