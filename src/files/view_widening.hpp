#pragma once

namespace flopkin {

struct app;

// Grows the view so that it takes in every ball with a margin of the ball
// size plus 100 world units; the view never shrinks here.
void widen_view_to_balls(app& owner);

}  // namespace flopkin
