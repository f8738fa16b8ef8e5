#include "files/view_widening.hpp"

#include <algorithm>

#include "app/app.hpp"

namespace flopkin {

void widen_view_to_balls(app& owner) {
    float max_x = -9999999, min_x = 9999999, max_y = -9999999, min_y = 9999999;
    float margin = owner.ball_size + 100;  // the app's ball size, not each ball's radius
    for (ball_ref b : owner.balls.all()) {
        max_x = std::max(max_x, b->x + margin);
        min_x = std::min(min_x, b->x - margin);
        max_y = std::max(max_y, b->y + margin);
        min_y = std::min(min_y, b->y - margin);
    }
    owner.view_right = std::max(owner.view_right, max_x);
    owner.view_left = std::min(owner.view_left, min_x);
    owner.view_top = std::min(owner.view_top, min_y);
    owner.view_bottom = std::max(owner.view_bottom, max_y);
}

}  // namespace flopkin
