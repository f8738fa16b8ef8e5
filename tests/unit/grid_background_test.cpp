#include <vector>

#include "physics_fixture.hpp"

namespace flopkin {
namespace {

using grid_test = app_figure_test;

TEST_F(grid_test, InitialViewLinesAndGrey) {
    a->draw_grid();
    std::vector<float> xs, ys;
    for (const draw_record& r : screen.drawn) {
        ASSERT_EQ(r.kind, draw_record::shape::line);
        EXPECT_EQ(r.colour, (rgb{63, 63, 63}));
        EXPECT_TRUE(r.last_pixel);
        if (r.values[0] == r.values[2]) {
            xs.push_back(r.values[0]);
            EXPECT_EQ(r.values[1], 0);
            EXPECT_EQ(r.values[3], 768);
        } else {
            ys.push_back(r.values[1]);
            EXPECT_EQ(r.values[0], 0);
            EXPECT_EQ(r.values[2], 1024);
        }
    }
    EXPECT_EQ(xs, (std::vector<float>{195, 445, 695, 945}));
    EXPECT_EQ(ys, (std::vector<float>{192, 442, 692}));
}

TEST_F(grid_test, BrightensWhenZoomedInAndDimsWhenOut) {
    for (int i = 0; i < 200; ++i) a->zoom_step(1);
    a->draw_grid();
    ASSERT_FALSE(screen.drawn.empty());
    int near_grey = screen.drawn[0].colour.r;
    screen.forget_drawing();
    for (int i = 0; i < 2000; ++i) a->zoom_step(0);
    a->draw_grid();
    ASSERT_FALSE(screen.drawn.empty());
    int far_grey = screen.drawn[0].colour.r;
    EXPECT_GT(near_grey, 63);
    EXPECT_LT(far_grey, 63);
    EXPECT_EQ(far_grey, 15);  // 127.5 x (1/7) / (1/7 + 1)
}

TEST_F(grid_test, LinesOnTheScreenEdgeAreSkipped) {
    // a view whose grid line x = 500 maps to screen x 0 and y = 0 to y 0
    a->view.view_cx = 500 + 390 * 2;
    a->view.view_cy = 384 * 2;
    a->draw_grid();
    for (const draw_record& r : screen.drawn) {
        if (r.values[0] == r.values[2]) {
            EXPECT_GT(r.values[0], 0);
            EXPECT_LT(r.values[0], 1024);
        } else {
            EXPECT_GT(r.values[1], 0);
            EXPECT_LT(r.values[1], 768);
        }
    }
    EXPECT_FALSE(screen.drawn.empty());
}

}  // namespace
}  // namespace flopkin
