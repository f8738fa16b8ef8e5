#include "platform/gl/gl_canvas.hpp"

#include <cmath>
#include <cstdint>

#include "platform/base/font.hpp"
#include "platform/graphics.hpp"

namespace flopkin {
namespace {

// one-pixel lines and points land on the pixel they name only when nudged
// into it; filled shapes cover pixel centres with plain coordinates
constexpr float pixel_nudge = 0.375f;

// a polygon of more points than this (an oval larger than the window) is
// drawn straight from its points rather than copied as three times as many
constexpr int largest_gathered_polygon = 4096;


}  // namespace

void gl_canvas::open(int width, int height) {
    width_ = width;
    height_ = height;
    // glyph pixels are opaque white, the rest of each cell fully transparent;
    // drawing modulates by the current colour and masks out what is transparent
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
    open_context(texels);
    reset_state();
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
        fill_background(clear_colour_);
    }
    if constexpr (draws_discs)
        if (!discs_.empty()) draw_discs();
    draw(fills_);
    draw(lines_);
    draw(points_);
    discs_.clear();
    fills_.clear();
    lines_.clear();
    points_.clear();
}

bool gl_canvas::fills_full(int corners) const {
    return fills_.count() + static_cast<std::size_t>(corners) > most_batch_vertices ||
           fills_.index_count() + 3 * static_cast<std::size_t>(corners - 2) > most_batch_vertices;
}

void gl_canvas::start_fills(int corners) {
    if (!lines_.empty() || !points_.empty() || !discs_.empty() || fills_full(corners)) flush();
}

void gl_canvas::start_discs(float width, float height) {
    bool other_shape = !discs_.empty() && !(width == disc_width_ && height == disc_height_);
    if (!fills_.empty() || !lines_.empty() || !points_.empty() || other_shape ||
        discs_.count() + 1 > most_batch_vertices)
        flush();
    if (discs_.empty() && !(width == disc_width_ && height == disc_height_ && disc_shape_ != 0)) {
        oval_vertices(0, 0, width, height, 1, 1, disc_corners_);
        disc_width_ = width;
        disc_height_ = height;
        ++disc_shape_;
    }
}

void gl_canvas::start_strokes(rgb colour) {
    bool other_colour = !lines_.empty() && !(colour == stroke_colour_);
    if (!fills_.empty() || !discs_.empty() || other_colour || lines_.count() + 2 > most_batch_vertices) flush();
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
    // an unscaled oval of a size within reach: x + 1 * offset is x + offset
    // exactly, so its place and the shape's offsets give its very corners
    if (draws_discs && sx == 1 && sy == 1 && std::fabs(width) + std::fabs(height) < 2 * largest_gathered_polygon) {
        start_discs(width, height);
        discs_.add(x, y, colour);
        return;
    }
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
    start_fills(points);
    fills_.add_fan(xy, points, colour);
}

void gl_canvas::text(const std::string& text, float x, float y, float sx, float sy, rgb colour) {
    flush();
    const float cell_w = static_cast<float>(glyph_width) / atlas_size;
    const float cell_h = static_cast<float>(glyph_height) / atlas_size;
    const float w = glyph_width * sx, h = glyph_height * sy;
    glyphs_.clear();
    for (char c : text) {
        if (!has_glyph(c)) continue;  // no glyph: skipped, takes no room
        int g = static_cast<unsigned char>(c) - first_glyph;
        float u = (g % atlas_columns) * cell_w, v = (g / atlas_columns) * cell_h;
        glyphs_.push_back({x, y, u, v});
        glyphs_.push_back({x + w, y, u + cell_w, v});
        glyphs_.push_back({x + w, y + h, u + cell_w, v + cell_h});
        glyphs_.push_back({x, y + h, u, v + cell_h});
        x += w;
    }
    if (!glyphs_.empty()) draw_glyphs(colour);
}

}  // namespace flopkin
