#include <cmath>

#include "physics/view.hpp"
#include "physics_fixture.hpp"

namespace flopkin {
namespace {

using view_test = figure_test;

TEST_F(view_test, InitialViewIsAlreadyFitted) {
    a->fit_view();
    EXPECT_EQ(a->zoom, 1.0f);
    EXPECT_EQ(a->view_cx, 390);
    EXPECT_EQ(a->view_cy, 384);
    EXPECT_EQ(a->view_left, 0);
    EXPECT_EQ(a->view_right, 780);
    EXPECT_EQ(a->view_top, 0);
    EXPECT_EQ(a->view_bottom, 768);
}

TEST_F(view_test, OneZoomOutStepWidensByTheRootOfTheWidth) {
    a->zoom_step(0);
    EXPECT_NEAR(a->zoom, 0.97246, 1e-4);
    EXPECT_NEAR(a->view_cx, 390.038, 1e-3);
    EXPECT_NEAR(a->view_cy, 384.0, 1e-3);
    // edges consistent with centre and zoom
    EXPECT_NEAR(a->view_right - a->view_left, 780 / a->zoom, 1e-3);
    EXPECT_NEAR(a->view_bottom - a->view_top, 768 / a->zoom, 1e-3);
}

TEST_F(view_test, ZoomInWithoutBallsClosesOnTheViewCentre) {
    a->zoom_step(1);
    EXPECT_NEAR(a->view_left, 0.05f * 390, 1e-3);
    EXPECT_NEAR(a->view_right, 780 - 0.05f * 390, 1e-3);
    EXPECT_NEAR(a->view_top, 0.05f * 384, 1e-3);
    EXPECT_NEAR(a->view_bottom, 768 - 0.05f * 384, 1e-3);
    EXPECT_NEAR(a->zoom, 1 / 0.95, 1e-4);
    EXPECT_EQ(a->view_cx, 390);
}

TEST_F(view_test, ZoomInOnAFigureWiderThanTheViewWidensIt) {
    put_ball(-500, 300);
    put_ball(1500, 400);
    a->zoom_step(1);
    EXPECT_LT(a->zoom, 1.0f);
    EXPECT_LT(a->view_left, 0);
    EXPECT_GT(a->view_right, 780);
}

TEST_F(view_test, HoldingZoomOutEndsAtTheWorldLimits) {
    for (int frame = 0; frame < 2000; ++frame) a->zoom_step(0);
    EXPECT_NEAR(a->zoom, 1.0 / 7, 1e-5);
    EXPECT_NEAR(a->view_cx, 390, 1e-2);
    EXPECT_NEAR(a->view_cy, 384, 1e-2);
    EXPECT_NEAR(a->view_left, -2340, 0.1);
    EXPECT_NEAR(a->view_right, 3120, 0.1);
    EXPECT_NEAR(a->view_top, -2304, 0.1);
    EXPECT_NEAR(a->view_bottom, 3072, 0.1);
}

TEST_F(view_test, ZoomIsCappedAtAHundred) {
    a->view_left = 100;
    a->view_right = 101;
    a->view_top = 100;
    a->view_bottom = 101;
    a->fit_view();
    EXPECT_EQ(a->zoom, 100);
    EXPECT_NEAR(a->view_right - a->view_left, 7.8, 1e-4);
}

TEST_F(view_test, MappingPutsTheCentreMidAreaAndTheTopAtZero) {
    a->zoom_step(0);
    a->zoom_step(0);
    EXPECT_EQ(world_to_screen_x(a->view_cx, a->view_cx, a->zoom, 780), 390);
    EXPECT_NEAR(world_to_screen_y(a->view_top, a->view_cy, a->zoom, 768), 0, 1e-4);
    EXPECT_NEAR(world_to_screen_x(a->view_right, a->view_cx, a->zoom, 780), 780, 1e-3);
    // and the pointer's way back
    float wx = screen_to_world(100, a->view_cx, a->zoom, 780);
    EXPECT_NEAR(world_to_screen_x(wx, a->view_cx, a->zoom, 780), 100, 1e-3);
}

}  // namespace
}  // namespace flopkin
