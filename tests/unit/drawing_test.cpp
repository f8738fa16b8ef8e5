#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/base/font.hpp"
#include "platform/base/frame.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"

namespace flopkin {

TEST(TextMetrics, EightByCharacterSixteenHigh) {
    EXPECT_EQ(text_width("Save"), 32);
    EXPECT_EQ(text_height("Save"), 16);
    EXPECT_EQ(text_width(""), 0);
    EXPECT_EQ(text_height(""), 0);
    EXPECT_EQ(text_width("Zoom= 100"), 72);
}

TEST(TextMetrics, CharactersWithoutAGlyphTakeNoRoom) {
    EXPECT_EQ(text_width("a\x01" "b"), 16);
    EXPECT_EQ(text_width("\x1f\x80\xff"), 0);
    EXPECT_EQ(text_height("\x1f\x80\xff"), 0);
    EXPECT_EQ(text_width(" \x7f"), 16);  // space and 127 have (empty) glyphs
}

TEST(Font, CoversCodes32To127) {
    EXPECT_FALSE(has_glyph(31));
    EXPECT_TRUE(has_glyph(32));
    EXPECT_TRUE(has_glyph(127));
    EXPECT_FALSE(has_glyph(static_cast<char>(128)));
    EXPECT_EQ(glyph_rows(static_cast<char>(200)), nullptr);
    // every printable character shows something; the space shows nothing
    for (int c = 33; c <= 126; ++c) {
        int lit = 0;
        for (int y = 0; y < glyph_height; ++y)
            for (int x = 0; x < glyph_width; ++x) lit += glyph_pixel(static_cast<char>(c), x, y);
        EXPECT_GT(lit, 0) << "code " << c;
    }
    for (int y = 0; y < glyph_height; ++y) EXPECT_EQ(glyph_rows(' ')[y], 0);
    EXPECT_FALSE(glyph_pixel('A', -1, 5));
    EXPECT_FALSE(glyph_pixel('A', 8, 5));
    EXPECT_FALSE(glyph_pixel('A', 3, 16));
}

TEST(Font, GlyphsAreDistinct) {
    // a shifted or misread table would make neighbouring glyphs collide
    for (int a = 33; a <= 126; ++a)
        for (int b = a + 1; b <= 126; ++b) {
            bool same = true;
            for (int y = 0; y < glyph_height && same; ++y)
                same = glyph_rows(static_cast<char>(a))[y] == glyph_rows(static_cast<char>(b))[y];
            EXPECT_FALSE(same) << a << " and " << b;
        }
}

TEST(OvalVertices, CountFollowsTheSize) {
    std::vector<float> v;
    oval_vertices(0, 0, 20, 20, 1, 1, v);
    EXPECT_EQ(v.size(), 40u);
    oval_vertices(0, 0, 4, 4, 1, 1, v);
    EXPECT_EQ(v.size(), 24u);  // never fewer than 12
    oval_vertices(0, 0, 30, 30, 1, 1, v);
    EXPECT_EQ(v.size(), 56u);  // 30 rounded down to 28
    oval_vertices(0, 0, 100, 61, 1, 1, v);
    EXPECT_EQ(v.size(), 160u);  // 80.5 truncated to 80
    oval_vertices(0, 0, -20, 20, 1, 1, v);
    EXPECT_EQ(v.size(), 40u);
    // a ball of a document's giant radius: a bounded polygon, not billions
    // of vertices, and still on the ellipse
    oval_vertices(0, 0, 2e9f, 2e9f, 1, 1, v);
    ASSERT_EQ(v.size(), 2u * max_oval_vertices);
    EXPECT_NEAR(v[2 * (max_oval_vertices / 4)], 1e9f, 1e3f);
    EXPECT_NEAR(v[2 * (max_oval_vertices / 4) + 1], 0, 1e3f);
    // back to a small one: the count follows again
    oval_vertices(0, 0, 20, 20, 1, 1, v);
    EXPECT_EQ(v.size(), 40u);
    EXPECT_NEAR(v[2 * 5], 10, 1e-4);
    EXPECT_NEAR(v[2 * 5 + 1], 0, 1e-4);
}

TEST(OvalVertices, StartAtTheRightAndGoUpFirst) {
    std::vector<float> v;
    oval_vertices(10, 20, 40, 20, 1, 1, v);  // centre (30, 30), a = 20, b = 10; 28 vertices
    ASSERT_EQ(v.size(), 56u);
    EXPECT_NEAR(v[0], 50, 1e-4);
    EXPECT_NEAR(v[1], 30, 1e-4);
    EXPECT_NEAR(v[2 * 7], 30, 1e-4);  // a quarter round: the top
    EXPECT_NEAR(v[2 * 7 + 1], 20, 1e-4);
    EXPECT_NEAR(v[2 * 14], 10, 1e-4);
    for (std::size_t k = 0; k < v.size(); k += 2) {
        float dx = (v[k] - 30) / 20, dy = (v[k + 1] - 30) / 10;
        EXPECT_NEAR(dx * dx + dy * dy, 1, 1e-4);
    }
}

TEST(OvalVertices, ScaleStretchesAwayFromTheAnchor) {
    std::vector<float> v;
    oval_vertices(10, 20, 40, 20, 2, 3, v);
    EXPECT_NEAR(v[0], 10 + 2 * 40, 1e-4);
    EXPECT_NEAR(v[1], 20 + 3 * 10, 1e-4);
}

class Drawing : public ::testing::Test {
protected:
    headless_backend be;
    void SetUp() override { use_backend(&be); }
    void TearDown() override { use_backend(nullptr); }
};

TEST_F(Drawing, PolygonsNeedThreePointsAndWholePairs) {
    draw_poly({0, 0, 10, 0});
    draw_poly({0, 0, 10, 0, 5, 5, 7});
    EXPECT_TRUE(be.drawn.empty());
    draw_poly({0, 0, 10, 0, 5, 5});
    ASSERT_EQ(be.drawn.size(), 1u);
    EXPECT_EQ(be.drawn[0].kind, draw_record::shape::polygon);
    EXPECT_EQ(be.drawn[0].values, (std::vector<float>{0, 0, 10, 0, 5, 5}));
}

TEST_F(Drawing, ColourAndScaleApplyToWhatFollows) {
    draw_rect(1, 2, 3, 4);
    set_color(10, 20, 30);
    set_scale(2, 3);
    draw_rect(1, 2, 3, 4);
    draw_line(5, 5, 6, 7, 1);
    draw_poly({0, 0, 10, 0, 0, 10});
    ASSERT_EQ(be.drawn.size(), 4u);
    EXPECT_EQ(be.drawn[0].colour, (rgb{255, 255, 255}));
    EXPECT_EQ(be.drawn[1].colour, (rgb{10, 20, 30}));
    EXPECT_EQ(be.drawn[1].values, (std::vector<float>{1, 2, 6, 12}));
    EXPECT_EQ(be.drawn[2].values, (std::vector<float>{5, 5, 7, 11}));
    EXPECT_TRUE(be.drawn[2].last_pixel);
    EXPECT_EQ(be.drawn[3].values, (std::vector<float>{0, 0, 20, 0, 0, 30}));
}

TEST_F(Drawing, OpeningResetsTheDrawingState) {
    set_color(1, 2, 3);
    set_scale(4, 4);
    std::string why;
    ASSERT_TRUE(open_graphics(frame_width, frame_height, 0, 0, why));
    draw_rect(0, 0, 1, 1);
    clear_screen();
    draw_rect(0, 0, 1, 1);
    ASSERT_EQ(be.drawn.size(), 2u);
    EXPECT_EQ(be.drawn[0].kind, draw_record::shape::clear);
    EXPECT_EQ(be.drawn[0].colour, (rgb{0, 0, 0}));
    EXPECT_EQ(be.drawn[1].colour, (rgb{255, 255, 255}));
    EXPECT_EQ(be.drawn[1].values, (std::vector<float>{0, 0, 1, 1}));
}

}  // namespace flopkin
