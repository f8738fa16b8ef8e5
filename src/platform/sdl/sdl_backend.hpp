#pragma once
// The real backend: an SDL2 window with an OpenGL 1.1 context, SDL input and
// clock, and GTK 3's file chooser as the requester.
#include <memory>

#include "platform/backend.hpp"

namespace flopkin {

std::unique_ptr<backend> make_sdl_backend();

}  // namespace flopkin
