#include "platform/sdl/frame_capture.hpp"

#include <GL/gl.h>


namespace flopkin {

void frame_capture::grab(int width, int height) {
    // four bytes a pixel in the buffer's own order is a plain copy for the
    // driver; the conversion to RGB waits until a frame is asked for
    bottom_up_.resize(static_cast<std::size_t>(width) * height * 4);
    // errors left from the frame's drawing must not be taken for the read's
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, bottom_up_.data());
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
    out.width = width_;
    out.height = height_;
    out.rgb.resize(static_cast<std::size_t>(width_) * height_ * 3);
    std::uint8_t* to = out.rgb.data();
    // OpenGL's rows run bottom to top
    for (int y = height_ - 1; y >= 0; --y) {
        const std::uint8_t* from = bottom_up_.data() + static_cast<std::size_t>(y) * width_ * 4;
        for (int x = 0; x < width_; ++x, from += 4, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    return true;
}

}  // namespace flopkin
