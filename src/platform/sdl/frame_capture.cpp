#include "platform/sdl/frame_capture.hpp"

#include <GL/gl.h>

#include <algorithm>

namespace flopkin {

void frame_capture::grab(int width, int height) {
    bottom_up_.resize(static_cast<std::size_t>(width) * height * 3);
    // errors left from the frame's drawing must not be taken for the read's
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottom_up_.data());
    // a failed read leaves no frame rather than a stale or partial one
    if (glGetError() != GL_NO_ERROR) {
        width_ = height_ = 0;
        return;
    }
    width_ = width;
    height_ = height;
}

bool frame_capture::last(frame_image& out) const {
    if (width_ <= 0 || height_ <= 0) return false;
    std::size_t row = static_cast<std::size_t>(width_) * 3;
    out.width = width_;
    out.height = height_;
    out.rgb.resize(row * height_);
    // OpenGL's rows run bottom to top
    for (int y = 0; y < height_; ++y) {
        auto from = bottom_up_.begin() + static_cast<std::ptrdiff_t>(row * (height_ - 1 - y));
        std::copy(from, from + static_cast<std::ptrdiff_t>(row), out.rgb.begin() + static_cast<std::ptrdiff_t>(row * y));
    }
    return true;
}

}  // namespace flopkin
