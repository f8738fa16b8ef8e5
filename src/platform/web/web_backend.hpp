#pragma once
// The browser backend: the page's canvas with an OpenGL 1.1 context emulated
// on WebGL, input queued by the page, the page's clock, and an HTML requester
// over the canvas. Frames wait for the page's animation frames.
#include <memory>

#include "platform/backend.hpp"

namespace flopkin {

std::unique_ptr<backend> make_web_backend();

// while the program waits for the page to show the frame it made: that frame
// is done and the next one has not begun, so the page may look at the figure
bool web_between_frames();

}  // namespace flopkin
