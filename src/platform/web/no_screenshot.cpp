// The page keeps no pictures or clips of its frames: it has no command line
// to ask for one, and the browser can save the canvas itself.
#include "platform/graphics.hpp"

namespace flopkin {

void keep_shown_frames() {}

bool save_shown_frame(const std::string&, std::string& why) {
    why = "the browser version writes no screenshots";
    return false;
}

bool start_recording(const std::string&, int, int, int, std::string& why) {
    why = "the browser version records no clips";
    return false;
}

void record_shown_frame() {}

bool stop_recording(std::string&, recording_stats&) { return true; }

}  // namespace flopkin
