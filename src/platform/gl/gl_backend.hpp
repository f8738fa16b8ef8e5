#pragma once
// What every backend that draws with the OpenGL canvas shares: the drawing
// operations, each handed to the canvas as it is. The desktop's SDL backend
// and the page's backend build on it.
#include "platform/backend.hpp"
#include "platform/gl/gl_canvas.hpp"

namespace flopkin {

class gl_backend : public backend {
public:
    void clear(rgb colour) override {
        if (drawing_) canvas_.clear(colour);
    }
    void line(float x1, float y1, float x2, float y2, bool last_pixel, rgb colour) override {
        if (drawing_) canvas_.line(x1, y1, x2, y2, last_pixel, colour);
    }
    void rect(float x, float y, float width, float height, rgb colour) override {
        if (drawing_) canvas_.rect(x, y, width, height, colour);
    }
    void oval(float x, float y, float width, float height, float sx, float sy, rgb colour) override {
        if (drawing_) canvas_.oval(x, y, width, height, sx, sy, colour);
    }
    void polygon(const float* xy, int points, rgb colour) override {
        if (drawing_) canvas_.polygon(xy, points, colour);
    }
    void text(const std::string& text, float x, float y, float sx, float sy, rgb colour) override {
        if (drawing_) canvas_.text(text, x, y, sx, sy, colour);
    }

protected:
    gl_canvas canvas_;
    // false through a frame that will not be shown: its drawing is left out
    bool drawing_ = true;
};

}  // namespace flopkin
