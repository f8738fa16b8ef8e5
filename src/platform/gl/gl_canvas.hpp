#pragma once
// Drawing on the window's OpenGL context: one unit per pixel, origin
// top-left. Filled shapes in a row are gathered as triangles and drawn with
// one call; lines and their end pixels are gathered while their colour stays
// the same. Anything that must come after them (a fill after a line, text,
// a clear, a read or swap of the frame) draws what is gathered first, so the
// picture is the one drawing each shape on its own would make. Every bit of
// state the drawing relies on is set again at the start of each frame, so
// nothing done to the context elsewhere (or by a driver) can leak into a frame.
//
// The gathering is the same everywhere; how a batch reaches the context is
// not: the desktop's OpenGL 1.1 draws from client-side arrays
// (gl11_context.cpp), the page's WebGL from vertex buffers and shaders of its
// own (web/webgl_context.cpp).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.hpp"
#include "platform/gl/vertex_batch.hpp"

namespace flopkin {

// a corner of a glyph's quad on the screen, and its place in the font atlas
struct glyph_vertex {
    float x, y, u, v;
};

class gl_canvas {
public:
    // the most vertices one draw call is given: what suits the kind of
    // context (defined beside each)
    static const std::size_t most_batch_vertices;
    gl_canvas();
    ~gl_canvas();
    // needs the context current; uploads the font atlas
    void open(int width, int height);
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
    // one draw call of a batch's vertices
    void draw(const vertex_batch& batch);

private:
    // the parts that depend on the kind of context
    struct context;
    void open_context(const std::vector<std::uint8_t>& atlas_texels);
    void reset_state();
    void fill_background(rgb colour);
    void draw_fan(const float* xy, int points, rgb colour);
    void draw_glyphs(rgb colour);
    // the discs gathered: one shape (disc_corners_) at each place in discs_;
    // only where draws_discs
    void draw_discs();

    // what is gathered must be drawn before a shape of the other kind, or a
    // line of another colour, can follow it, or when the batch is full
    void start_fills(int corners);
    // a polygon of this many corners would not fit in the fills' batch
    bool fills_full(int corners) const;
    void start_strokes(rgb colour);
    // what is gathered must be drawn before a disc of another shape follows it
    void start_discs(float width, float height);
    std::unique_ptr<context> context_;
    int width_ = 0, height_ = 0;
    std::vector<float> oval_points_;  // reused, so ovals allocate only when they grow
    std::vector<glyph_vertex> glyphs_;  // a text's quads, four corners each; reused
    vertex_batch fills_{primitive::triangles};
    vertex_batch lines_{primitive::lines};
    vertex_batch points_{primitive::points};
    // Ovals of one size in a row (the balls of a figure) are gathered as
    // their places and colours alone, with their corners once: the offsets
    // of the corners from the place, for disc_width_ x disc_height_. Each
    // corner is the place plus its offset, as the oval's own corners are.
    vertex_batch discs_{primitive::triangles};
    std::vector<float> disc_corners_;
    float disc_width_ = 0, disc_height_ = 0;
    unsigned disc_shape_ = 0;  // changes with the offsets
    // lines and points of one colour may be drawn in any order: the pixels come out the same
    rgb stroke_colour_;
    rgb clear_colour_;
    bool clear_waits_ = false;
};

// WebGL draws a shape many times from its places alone; OpenGL 1.1 cannot,
// and the desktop gathers every oval's corners
#ifdef __EMSCRIPTEN__
inline constexpr bool draws_discs = true;
#else
inline constexpr bool draws_discs = false;
#endif

// the font atlas: 16 columns x 6 rows of 8 x 16 cells in a 128 x 128 texture
inline constexpr int atlas_columns = 16;
inline constexpr int atlas_size = 128;

}  // namespace flopkin
