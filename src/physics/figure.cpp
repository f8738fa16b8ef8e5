#include "physics/figure.hpp"

#include "app/app.hpp"
#include "physics/view.hpp"
#include "platform/random.hpp"

namespace flopkin {

// the random place and colour are placeholders: every creator sets the
// position, and the colour is only carried through documents
ball::ball() {
    old_x = static_cast<float>(rand(0, 800));
    old_y = static_cast<float>(rand(0, 600));
    x = old_x;
    y = old_y;
    for (int& c : colour) c = rand(0, 255);
}

void ball::to_screen() {
    screen_x = world_to_screen_x(x, owner->view_cx, owner->zoom, owner->area_width);
    screen_radius = radius * owner->zoom;
    screen_y = world_to_screen_y(y, owner->view_cy, owner->zoom, static_cast<float>(owner->screen_height));
}

link::link() {
    for (int& c : colour) c = rand(0, 255);
}

}  // namespace flopkin
