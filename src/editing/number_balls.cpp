#include "app/app.hpp"

namespace flopkin {

// documents name balls by these numbers: 1, 2, 3 ... in list order
void app::number_balls() {
    int number = 0;
    for (ball_ref b : balls.all()) b->number = ++number;
}

}  // namespace flopkin
