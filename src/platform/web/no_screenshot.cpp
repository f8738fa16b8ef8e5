// The page keeps no pictures of its frames: it has no command line to ask
// for one, and the browser can save the canvas itself.
#include "platform/graphics.hpp"

namespace flopkin {

void keep_shown_frames() {}

bool save_shown_frame(const std::string&, std::string& why) {
    why = "the browser version writes no screenshots";
    return false;
}

}  // namespace flopkin
