#pragma once
// PNG encoding of a shown frame: 8-bit RGB, no interlace, rows top to bottom.
#include <cstdint>
#include <vector>

#include "platform/base/frame.hpp"

namespace flopkin {

// The complete PNG file; empty when the image is not one (no pixels, or a
// pixel buffer of the wrong size) or cannot be compressed.
std::vector<std::uint8_t> encode_png(const frame_image& image);

}  // namespace flopkin
