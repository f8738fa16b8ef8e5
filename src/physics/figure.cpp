#include "physics/figure.hpp"

#include <cmath>

#include "physics/relaxation.hpp"
#include "physics/view.hpp"

namespace flopkin {

// the random place and colour are placeholders: every creator sets the
// position, and the colour is only carried through documents
ball::ball(random_int rand) {
    old_x = static_cast<float>(rand(0, 800));
    old_y = static_cast<float>(rand(0, 600));
    x = old_x;
    y = old_y;
    for (int& c : colour) c = rand(0, 255);
}

void ball::to_screen(const view_fields& v) {
    screen_x = world_to_screen_x(x, v.view_cx, v.zoom, v.area_width);
    screen_radius = radius * v.zoom;
    screen_y = world_to_screen_y(y, v.view_cy, v.zoom, static_cast<float>(v.screen_height));
}

link::link(random_int rand) {
    for (int& c : colour) c = rand(0, 255);
}

figure::figure() : relax(std::make_unique<relaxation>()) {}

figure::~figure() = default;

void figure::remove(const ball_ref& gone) {
    if (!gone) return;
    balls.remove(gone.get());
    for (link_ref l : links.all())
        if (l->end_a == gone || l->end_b == gone) links.remove(l.get());
    for (tension_ref t : tensions.all())
        if (t->end_a == gone || t->vertex == gone || t->end_b == gone) tensions.remove(t.get());
}

void figure::remove_beyond(float limit) {
    for (const ball_ref& b : balls.all()) {
        bool far = !(std::abs(b->x) <= limit) || !(std::abs(b->y) <= limit);
        if (far) remove(ball_ref(b));  // a copy: removing resets the slot
    }
}

void figure::take_sizes(float ball_size, float link_width, float angle_force) {
    const taken_sizes now{ball_size, link_width, angle_force, balls.stamp(), links.stamp(), tensions.stamp()};
    // a size that is not a number is never equal to the last: taken every time
    if (now == taken_) return;
    for (const ball_ref& b : balls.all()) b->radius = ball_size;
    for (const link_ref& l : links.all()) l->width = link_width;
    for (const tension_ref& t : tensions.all()) t->strength = angle_force;
    taken_ = now;
}

void figure::clear() {
    balls.clear();
    links.clear();
    tensions.clear();
}

}  // namespace flopkin
