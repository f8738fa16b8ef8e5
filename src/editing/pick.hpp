#pragma once
// Which ball is under the pointer: the test shared by drawing links in draw
// mode and grabbing balls in play mode. It reads each ball's cached screen
// centre and radius, so callers refresh them (to_screen) when they need to.
#include "physics/figure.hpp"
#include "platform/base/object_list.hpp"

namespace flopkin {

// strictly inside the ball's screen disc: a pointer on the rim is outside
inline bool under_pointer(const ball& b, float px, float py) {
    float dx = px - b.screen_x;
    float dy = py - b.screen_y;
    return dx * dx + dy * dy < b.screen_radius * b.screen_radius;
}

// the last ball in list order under the pointer, so that of two overlapping
// balls the one created later (drawn on top) is taken; none when no ball is
ball_ref last_ball_under(object_list<ball>& balls, float px, float py);

}  // namespace flopkin
