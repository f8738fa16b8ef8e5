#include "physics/figure.hpp"

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

link::link() {
    for (int& c : colour) c = rand(0, 255);
}

}  // namespace flopkin
