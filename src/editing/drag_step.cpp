// Play mode: the left button grabs the ball under the pointer and holds it
// there with no velocity; links and tensions pull the rest of the figure after
// it, and on release the figure keeps the motion the pointer gave it.
#include "editing/figure_editing.hpp"
#include "editing/pick.hpp"
#include "physics/view.hpp"
#include "platform/graphics.hpp"

namespace flopkin {

void drag_step(figure& figure, const view_fields& v, editing_fields& e) {
    for (const ball_ref& b : figure.balls.all()) b->mass = 1.0f;
    ball_ref& dragged = e.dragged;

    int down = mouse_down(1);
    if (!down) dragged.reset();
    float px = static_cast<float>(mouse_x());
    float py = static_cast<float>(mouse_y());
    // once a ball is held, passing over others changes nothing
    if (!dragged && down) dragged = last_ball_under(figure.balls, px, py);
    if (dragged) {
        dragged->x = screen_to_world(px, v.view_cx, v.zoom, v.area_width);
        dragged->y = screen_to_world(py, v.view_cy, v.zoom, static_cast<float>(v.screen_height));
        dragged->vx = 0;
        dragged->vy = 0;
        ++e.hand_moves;  // the user's change, unlike the simulation's moves
    }
}

}  // namespace flopkin
