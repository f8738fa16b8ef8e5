#pragma once
// The built-in font: fixed cells 8 pixels wide and 16 high, one glyph per
// character code 32 to 127. Measuring and drawing both read it, so text always
// takes the room it is measured to take.
#include <cstdint>
#include <string>

namespace flopkin {

constexpr int glyph_width = 8;
constexpr int glyph_height = 16;
constexpr int first_glyph = 32;
constexpr int glyph_count = 96;

bool has_glyph(char c);
// the glyph's rows, top first; bit 7 of a row is its leftmost pixel
const std::uint8_t* glyph_rows(char c);
bool glyph_pixel(char c, int x, int y);

// 8 per character with a glyph; the scale is not applied
int text_width(const std::string& text);
// 16 when at least one character has a glyph, else 0
int text_height(const std::string& text);

}  // namespace flopkin
