#pragma once
// Drawing on the window's OpenGL 1.1 context: one unit per pixel, origin
// top-left. Filled shapes in a row are gathered as triangles and drawn with
// one call; lines and their end pixels are gathered while their colour stays
// the same. Anything that must come after them (a fill after a line, text,
// a clear, a read or swap of the frame) draws what is gathered first, so the
// picture is the one drawing each shape on its own would make. Every bit of
// state the drawing relies on is set again at the start of each frame, so
// nothing done to the context elsewhere (or by a driver) can leak into a frame.
#include <GL/gl.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/backend.hpp"
#include "platform/gl/vertex_batch.hpp"

namespace flopkin {

class gl_canvas {
public:
    // the most vertex bytes one draw call of the desktop's OpenGL is given
    static constexpr std::size_t desktop_batch_bytes = std::size_t{12} << 20;
    // needs the context current; uploads the font atlas. A batch is drawn
    // before it would hold more than most_batch_bytes of vertices: what one
    // draw call of the context takes
    void open(int width, int height, std::size_t most_batch_bytes = desktop_batch_bytes);
    // state for a new frame, then the back buffer filled with the colour, at
    // the first drawing that follows
    void clear(rgb colour);
    void line(float x1, float y1, float x2, float y2, bool last_pixel, rgb colour);
    void rect(float x, float y, float width, float height, rgb colour);
    void oval(float x, float y, float width, float height, float sx, float sy, rgb colour);
    void polygon(const float* xy, int points, rgb colour);
    void text(const std::string& text, float x, float y, float sx, float sy, rgb colour);
    // draws everything gathered so far; before the frame is read or shown
    void flush();
    // the filled shapes gathered since the last flush, as triangles
    const vertex_batch& pending_fills() const { return fills_; }

private:
    void reset_state();
    // what is gathered must be drawn before a shape of the other kind, or a
    // line of another colour, can follow it, or when the batch is full
    void start_fills(std::size_t vertices);
    void start_strokes(rgb colour);
    int width_ = 0, height_ = 0;
    std::size_t batch_limit_ = 0;  // vertices
    unsigned font_texture_ = 0;
    std::vector<float> oval_points_;  // reused, so ovals allocate only when they grow
    vertex_batch fills_{GL_TRIANGLES};
    vertex_batch lines_{GL_LINES};
    vertex_batch points_{GL_POINTS};
    // lines and points of one colour may be drawn in any order: the pixels come out the same
    rgb stroke_colour_;
    rgb clear_colour_;
    bool clear_waits_ = false;
};

}  // namespace flopkin
