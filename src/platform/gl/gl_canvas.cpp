#include "platform/gl/gl_canvas.hpp"

#include <GL/gl.h>

#include <cstdint>

#include "platform/font.hpp"
#include "platform/graphics.hpp"

namespace flopkin {
namespace {

// one-pixel lines and points land on the pixel they name only when nudged
// into it; filled shapes cover pixel centres with plain coordinates
constexpr float pixel_nudge = 0.375f;

// a polygon of more points than this (an oval larger than the window) is
// drawn straight from its points rather than copied as three times as many
constexpr int largest_gathered_polygon = 4096;

// the font atlas: 16 columns x 6 rows of 8 x 16 cells in a 128 x 128 texture
constexpr int atlas_columns = 16;
constexpr int atlas_size = 128;

void use_colour(rgb c) {
    const GLubyte rgba[4] = {static_cast<GLubyte>(c.r), static_cast<GLubyte>(c.g), static_cast<GLubyte>(c.b), 255};
    glColor4ubv(rgba);
}

// a convex polygon as one fan from its first vertex: the same triangles as
// when it is gathered
void draw_fan(const float* xy, int points, rgb colour) {
    use_colour(colour);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, xy);
    glDrawArrays(GL_TRIANGLE_FAN, 0, points);
    glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace

void gl_canvas::open(int width, int height, std::size_t most_batch_bytes) {
    width_ = width;
    height_ = height;
    // which also bounds the batches' memory
    batch_limit_ = most_batch_bytes / sizeof(batch_vertex);
    // glyph pixels are opaque white, the rest of each cell fully transparent;
    // drawing modulates by the current colour and the alpha test masks
    std::vector<std::uint8_t> texels(atlas_size * atlas_size * 4, 0);
    for (int g = 0; g < glyph_count; ++g) {
        char c = static_cast<char>(first_glyph + g);
        int cell_x = (g % atlas_columns) * glyph_width, cell_y = (g / atlas_columns) * glyph_height;
        for (int y = 0; y < glyph_height; ++y)
            for (int x = 0; x < glyph_width; ++x)
                if (glyph_pixel(c, x, y)) {
                    std::uint8_t* t = &texels[((cell_y + y) * atlas_size + cell_x + x) * 4];
                    t[0] = t[1] = t[2] = t[3] = 255;
                }
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    font_texture_ = id;
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, atlas_size, atlas_size, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    reset_state();
}

void gl_canvas::reset_state() {
    glViewport(0, 0, width_, height_);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width_, height_, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_DITHER);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_LINE_STIPPLE);
    glDisable(GL_POLYGON_STIPPLE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    // the batches turn on the vertex and colour arrays for their own calls;
    // any other array left on would be read by them
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glAlphaFunc(GL_GREATER, 0.5f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_FLAT);
    glLineWidth(1.0f);
    glPointSize(1.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDrawBuffer(GL_BACK);
    glBindTexture(GL_TEXTURE_2D, font_texture_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void gl_canvas::clear(rgb colour) {
    flush();
    // the clear waits for the frame's first drawing, so that a frame that
    // stops early (for a requester in a page) leaves the last whole frame shown
    clear_colour_ = colour;
    clear_waits_ = true;
}

void gl_canvas::flush() {
    if (clear_waits_) {
        clear_waits_ = false;
        reset_state();
        glClearColor(clear_colour_.r / 255.0f, clear_colour_.g / 255.0f, clear_colour_.b / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    fills_.draw();
    lines_.draw();
    points_.draw();
    fills_.clear();
    lines_.clear();
    points_.clear();
}

void gl_canvas::start_fills(std::size_t vertices) {
    if (!lines_.empty() || !points_.empty() || fills_.count() + vertices > batch_limit_) flush();
}

void gl_canvas::start_strokes(rgb colour) {
    bool other_colour = !lines_.empty() && !(colour == stroke_colour_);
    if (!fills_.empty() || other_colour || lines_.count() + 2 > batch_limit_) flush();
    stroke_colour_ = colour;
}

void gl_canvas::line(float x1, float y1, float x2, float y2, bool last_pixel, rgb colour) {
    start_strokes(colour);
    lines_.add(x1 + pixel_nudge, y1 + pixel_nudge, colour);
    lines_.add(x2 + pixel_nudge, y2 + pixel_nudge, colour);
    // a line leaves out its end pixel; plot it when asked for
    if (last_pixel) points_.add(x2 + pixel_nudge, y2 + pixel_nudge, colour);
}

void gl_canvas::rect(float x, float y, float width, float height, rgb colour) {
    const float corners[8] = {x, y, x + width, y, x + width, y + height, x, y + height};
    polygon(corners, 4, colour);
}

void gl_canvas::oval(float x, float y, float width, float height, float sx, float sy, rgb colour) {
    oval_vertices(x, y, width, height, sx, sy, oval_points_);
    polygon(oval_points_.data(), static_cast<int>(oval_points_.size() / 2), colour);
}

void gl_canvas::polygon(const float* xy, int points, rgb colour) {
    if (points < 3) return;
    if (points > largest_gathered_polygon) {
        flush();
        draw_fan(xy, points, colour);
        return;
    }
    start_fills(3 * static_cast<std::size_t>(points - 2));
    fills_.add_fan(xy, points, colour);
}

void gl_canvas::text(const std::string& text, float x, float y, float sx, float sy, rgb colour) {
    flush();
    use_colour(colour);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_ALPHA_TEST);
    const float cell_w = static_cast<float>(glyph_width) / atlas_size;
    const float cell_h = static_cast<float>(glyph_height) / atlas_size;
    const float w = glyph_width * sx, h = glyph_height * sy;
    glBegin(GL_QUADS);
    for (char c : text) {
        if (!has_glyph(c)) continue;  // no glyph: skipped, takes no room
        int g = static_cast<unsigned char>(c) - first_glyph;
        float u = (g % atlas_columns) * cell_w, v = (g / atlas_columns) * cell_h;
        glTexCoord2f(u, v);
        glVertex2f(x, y);
        glTexCoord2f(u + cell_w, v);
        glVertex2f(x + w, y);
        glTexCoord2f(u + cell_w, v + cell_h);
        glVertex2f(x + w, y + h);
        glTexCoord2f(u, v + cell_h);
        glVertex2f(x, y + h);
        x += w;
    }
    glEnd();
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
}

}  // namespace flopkin
