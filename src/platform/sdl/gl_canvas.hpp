#pragma once
// Drawing on the window's OpenGL 1.1 context: one unit per pixel, origin
// top-left, immediate mode, one primitive per call. Every bit of state the
// drawing relies on is set again at the start of each frame, so nothing done
// to the context elsewhere (or by a driver) can leak into a frame.
#include <string>
#include <vector>

#include "platform/backend.hpp"

namespace flopkin {

class gl_canvas {
public:
    // needs the context current; uploads the font atlas
    void open(int width, int height);
    // state for a new frame, then the back buffer filled with the colour
    void clear(rgb colour);
    void line(float x1, float y1, float x2, float y2, bool last_pixel, rgb colour);
    void rect(float x, float y, float width, float height, rgb colour);
    void oval(float x, float y, float width, float height, float sx, float sy, rgb colour);
    void polygon(const float* xy, int points, rgb colour);
    void text(const std::string& text, float x, float y, float sx, float sy, rgb colour);

private:
    void reset_state();
    int width_ = 0, height_ = 0;
    unsigned font_texture_ = 0;
    std::vector<float> oval_points_;  // reused, so ovals allocate only when they grow
};

}  // namespace flopkin
