#pragma once
// The browser backend: the page's canvas with an OpenGL 1.1 context emulated
// on WebGL, input queued by the page, the page's clock, and an HTML requester
// over the canvas. Frames wait for the page's animation frames.
#include <memory>

#include "platform/backend.hpp"

namespace flopkin {

std::unique_ptr<backend> make_web_backend();

}  // namespace flopkin
