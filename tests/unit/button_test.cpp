// The menu's widget: where it counts as pressed and how it is drawn.
#include <gtest/gtest.h>

#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "ui/button.hpp"

namespace flopkin {
namespace {

struct button_fixture : ::testing::Test {
    headless_backend hb;
    button b;
    void SetUp() override { use_backend(&hb); }
    void TearDown() override { use_backend(nullptr); }
    void pointer(int x, int y) { hb.move(x, y); }
};

TEST_F(button_fixture, UnplacedButtonIsNeverPressed) {
    pointer(0, 0);
    hb.press(1);
    EXPECT_EQ(b.held(1), 0);
    EXPECT_EQ(b.clicked(1), 0);
}

TEST_F(button_fixture, OutlinePixelsAreOutside) {
    b.place("Go", 1, 40, 20, 100, 50, 0);
    hb.press(1);
    pointer(101, 51);
    EXPECT_EQ(b.held(1), 1);
    pointer(139, 69);
    EXPECT_EQ(b.held(1), 1);
    for (auto [x, y] : {std::pair{100, 60}, {140, 60}, {120, 50}, {120, 70}}) {
        pointer(x, y);
        EXPECT_EQ(b.held(1), 0) << x << "," << y;
    }
    clear_screen();  // a frame later
    hb.release(1);
    pointer(120, 60);
    EXPECT_EQ(b.held(1), 0);
    EXPECT_EQ(b.held(2), 0);
}

TEST_F(button_fixture, ClickedUsesUpThePressesWhereverThePointerIs) {
    b.place("Go", 1, 40, 20, 100, 50, 0);
    pointer(10, 10);
    hb.press(1);
    hb.release(1);
    EXPECT_EQ(b.clicked(1), 0);  // outside, but the press is spent
    pointer(120, 60);
    EXPECT_EQ(b.clicked(1), 0);

    hb.press(1);
    hb.release(1);
    hb.press(1);
    hb.release(1);
    EXPECT_EQ(b.clicked(1), 1);  // two presses answer once
    EXPECT_EQ(b.clicked(1), 0);
}

TEST_F(button_fixture, PlaceCentresTheLabelAndNudgesItDown) {
    b.place("Clear All", 1, 243, 40, 780, 150, 3);
    EXPECT_FLOAT_EQ(b.label_offset_x, (243 - 8 * 9) / 2.0f);
    EXPECT_FLOAT_EQ(b.label_offset_y, (40 - 16) / 2.0f);
    b.place("", 2, 40, 30, 0, 0, 1);
    EXPECT_FLOAT_EQ(b.label_offset_x, 20);
    EXPECT_FLOAT_EQ(b.label_offset_y, 15);
}

TEST_F(button_fixture, FitSizesTheBoxToTheLabel) {
    b.fit("Quit", 2, 500, 100);
    EXPECT_FLOAT_EQ(b.width, 64);
    EXPECT_FLOAT_EQ(b.height, 32);
    EXPECT_FLOAT_EQ(b.x, 468);
    EXPECT_FLOAT_EQ(b.y, 84);
    EXPECT_FLOAT_EQ(b.label_offset_x, 6);
    EXPECT_FLOAT_EQ(b.label_offset_y, 6);

    b.fit("", 1, 300, 300);
    EXPECT_FLOAT_EQ(b.width, 0);
    hb.press(1);
    pointer(300, 300);
    EXPECT_EQ(b.held(1), 0);
}

TEST_F(button_fixture, DrawsAWhiteOutlineAndAGreyLabel) {
    b.place("Add", 2, 243, 40, 780, 608, 3);
    set_color(1, 2, 3);
    b.draw();
    ASSERT_EQ(hb.drawn.size(), 5u);
    const rgb white{255, 255, 255};
    std::vector<std::vector<float>> edges = {
        {780, 608, 1023, 608}, {780, 608, 780, 648}, {1023, 648, 1023, 608}, {1023, 648, 780, 648}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(hb.drawn[i].kind, draw_record::shape::line);
        EXPECT_EQ(hb.drawn[i].colour, white);
        EXPECT_TRUE(hb.drawn[i].last_pixel);
        EXPECT_EQ(hb.drawn[i].values, edges[i]);
    }
    const draw_record& label = hb.drawn[4];
    EXPECT_EQ(label.text, "Add");
    EXPECT_EQ(label.colour, (rgb{155, 155, 155}));
    // measured at twice the size: 48 x 32
    EXPECT_FLOAT_EQ(label.values[0], 780 + (243 - 48) / 2.0f);
    EXPECT_FLOAT_EQ(label.values[1], 608 + 4 + 3);
    // what it leaves behind: grey, unscaled
    draw_rect(0, 0, 10, 10);
    EXPECT_EQ(hb.drawn.back().colour, (rgb{155, 155, 155}));
    EXPECT_EQ(hb.drawn.back().values[2], 10);
}

}  // namespace
}  // namespace flopkin
