#pragma once
// Test-side PNG reading: splits a file into chunks, checks every CRC, and
// inflates 8-bit RGB pixels written without filtering or interlace.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/images/png.hpp"

namespace flopkin::test {

struct png_chunk {
    std::string type;
    std::vector<std::uint8_t> data;
    bool crc_ok = false;
};

inline std::uint32_t be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// the chunks in file order; empty when the signature is wrong or a chunk runs past the end
inline std::vector<png_chunk> png_chunks(const std::vector<std::uint8_t>& file) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (file.size() < 8 || !std::equal(signature, signature + 8, file.begin())) return {};
    std::vector<png_chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        std::uint32_t length = be32(&file[at]);
        if (at + 12 + length > file.size()) return {};
        png_chunk c;
        c.type.assign(file.begin() + at + 4, file.begin() + at + 8);
        c.data.assign(file.begin() + at + 8, file.begin() + at + 8 + length);
        uLong crc = crc32(crc32(0L, Z_NULL, 0), &file[at + 4], length + 4);
        c.crc_ok = crc == be32(&file[at + 8 + length]);
        chunks.push_back(std::move(c));
        at += 12 + length;
    }
    if (at != file.size()) return {};
    return chunks;
}

// the pixels; width 0 when the file is not a PNG this reader understands
inline frame_image png_pixels(const std::vector<std::uint8_t>& file) {
    frame_image image;
    auto chunks = png_chunks(file);
    if (chunks.empty() || chunks[0].type != "IHDR" || chunks[0].data.size() != 13) return image;
    const auto& h = chunks[0].data;
    if (h[8] != 8 || h[9] != 2 || h[10] != 0 || h[11] != 0 || h[12] != 0) return image;
    int width = static_cast<int>(be32(&h[0])), height = static_cast<int>(be32(&h[4]));
    std::vector<std::uint8_t> packed;
    for (const auto& c : chunks)
        if (c.type == "IDAT") packed.insert(packed.end(), c.data.begin(), c.data.end());
    std::size_t row = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> raw((row + 1) * height);
    uLongf raw_size = raw.size();
    if (uncompress(raw.data(), &raw_size, packed.data(), packed.size()) != Z_OK || raw_size != raw.size()) return image;
    for (int y = 0; y < height; ++y) {
        if (raw[(row + 1) * y] != 0) return image;  // only unfiltered rows are expected
        auto from = raw.begin() + static_cast<std::ptrdiff_t>((row + 1) * y + 1);
        image.rgb.insert(image.rgb.end(), from, from + static_cast<std::ptrdiff_t>(row));
    }
    image.width = width;
    image.height = height;
    return image;
}

}  // namespace flopkin::test
