#include <gtest/gtest.h>

#include "platform/images/png.hpp"
#include "png_reader.hpp"

namespace flopkin {
namespace {

frame_image gradient(int width, int height) {
    frame_image f{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f.rgb.insert(f.rgb.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                       static_cast<std::uint8_t>(x * 7 + y * 13)});
    return f;
}

TEST(Png, FileIsHeaderPixelsAndEndWithValidChecksums) {
    auto png = encode_png(gradient(5, 3));
    auto chunks = test::png_chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    EXPECT_TRUE(chunks[2].data.empty());
    for (const auto& c : chunks) EXPECT_TRUE(c.crc_ok) << c.type;
    ASSERT_EQ(chunks[0].data.size(), 13u);
    EXPECT_EQ(test::be32(&chunks[0].data[0]), 5u);
    EXPECT_EQ(test::be32(&chunks[0].data[4]), 3u);
}

TEST(Png, PixelsComeBackExactlyInRowOrder) {
    // odd widths catch row strides taken as multiples of 4
    for (auto [w, h] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{1024, 768}}) {
        frame_image f = gradient(w, h);
        frame_image back = test::png_pixels(encode_png(f));
        EXPECT_EQ(back.width, w);
        EXPECT_EQ(back.height, h);
        EXPECT_TRUE(back.rgb == f.rgb) << w << " x " << h;
    }
}

TEST(Png, NoFileForAnImageThatIsNotOne) {
    EXPECT_TRUE(encode_png(frame_image{}).empty());
    EXPECT_TRUE(encode_png(frame_image{0, 4, {}}).empty());
    EXPECT_TRUE(encode_png(frame_image{-2, 4, std::vector<std::uint8_t>(24)}).empty());
    frame_image short_pixels = gradient(4, 4);
    short_pixels.rgb.pop_back();
    EXPECT_TRUE(encode_png(short_pixels).empty());
    frame_image extra_pixels = gradient(4, 4);
    extra_pixels.rgb.push_back(0);
    EXPECT_TRUE(encode_png(extra_pixels).empty());
}

}  // namespace
}  // namespace flopkin
