#include "editing/pick.hpp"

namespace flopkin {

ball_ref last_ball_under(object_list<ball>& balls, float px, float py) {
    ball_ref found;
    for (const ball_ref& b : balls.all())
        if (under_pointer(*b, px, py)) found = b;
    return found;
}

}  // namespace flopkin
