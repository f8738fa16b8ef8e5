#pragma once
// PNG encoding of a shown frame: 8-bit RGB, no interlace, rows top to bottom.
#include <cstdint>
#include <vector>

namespace flopkin {

// A frame as the user saw it: width x height pixels, 3 bytes each (red,
// green, blue), the top row first.
struct frame_image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// The complete PNG file; empty when the image is not one (no pixels, or a
// pixel buffer of the wrong size) or cannot be compressed.
std::vector<std::uint8_t> encode_png(const frame_image& image);

}  // namespace flopkin
