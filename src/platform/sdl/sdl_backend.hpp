#pragma once
// The real backend: an SDL2 window with an OpenGL 1.1 context, SDL input and
// clock, and GTK 3's file chooser as the requester.
#include <memory>

#include "platform/backend.hpp"

namespace flopkin {

// offscreen: the frames are drawn with real OpenGL through SDL's offscreen
// video driver, with no display, no input and no requester
std::unique_ptr<backend> make_sdl_backend(bool offscreen = false);

class gl_canvas;
// the canvas a backend made above draws with, for measuring its drawing
// against plain OpenGL; nullptr for any other backend
gl_canvas* canvas_of(backend& be);

}  // namespace flopkin
