#pragma once
// Read-back of the frame about to be shown, so the last one can be written
// out exactly as the user saw it.
#include <cstdint>
#include <vector>

#include "platform/base/frame.hpp"

namespace flopkin {

class frame_capture {
public:
    // reads the back buffer of the current context; call just before the swap
    void grab(int width, int height);
    // the last frame grabbed, top row first; false when none was
    bool last(frame_image& out) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> bottom_up_;  // as OpenGL gives it, reused every frame
};

}  // namespace flopkin
