#include <cmath>

#include "physics/view.hpp"
#include "physics_fixture.hpp"

namespace flopkin {
namespace {

using view_test = figure_test;

TEST_F(view_test, InitialViewIsAlreadyFitted) {
    fit_view(view);
    EXPECT_EQ(view.zoom, 1.0f);
    EXPECT_EQ(view.view_cx, 390);
    EXPECT_EQ(view.view_cy, 384);
    EXPECT_EQ(view.view_left, 0);
    EXPECT_EQ(view.view_right, 780);
    EXPECT_EQ(view.view_top, 0);
    EXPECT_EQ(view.view_bottom, 768);
}

TEST_F(view_test, OneZoomOutStepWidensByTheRootOfTheWidth) {
    zoom_step(view, fig, 0);
    EXPECT_NEAR(view.zoom, 0.97246, 1e-4);
    EXPECT_NEAR(view.view_cx, 390.038, 1e-3);
    EXPECT_NEAR(view.view_cy, 384.0, 1e-3);
    // edges consistent with centre and zoom
    EXPECT_NEAR(view.view_right - view.view_left, 780 / view.zoom, 1e-3);
    EXPECT_NEAR(view.view_bottom - view.view_top, 768 / view.zoom, 1e-3);
}

TEST_F(view_test, ZoomInWithoutBallsClosesOnTheViewCentre) {
    zoom_step(view, fig, 1);
    EXPECT_NEAR(view.view_left, 0.05f * 390, 1e-3);
    EXPECT_NEAR(view.view_right, 780 - 0.05f * 390, 1e-3);
    EXPECT_NEAR(view.view_top, 0.05f * 384, 1e-3);
    EXPECT_NEAR(view.view_bottom, 768 - 0.05f * 384, 1e-3);
    EXPECT_NEAR(view.zoom, 1 / 0.95, 1e-4);
    EXPECT_EQ(view.view_cx, 390);
}

TEST_F(view_test, ZoomInOnAFigureWiderThanTheViewWidensIt) {
    put_ball(-500, 300);
    put_ball(1500, 400);
    zoom_step(view, fig, 1);
    EXPECT_LT(view.zoom, 1.0f);
    EXPECT_LT(view.view_left, 0);
    EXPECT_GT(view.view_right, 780);
}

TEST_F(view_test, HoldingZoomOutEndsAtTheWorldLimits) {
    for (int frame = 0; frame < 2000; ++frame) zoom_step(view, fig, 0);
    EXPECT_NEAR(view.zoom, 1.0 / 7, 1e-5);
    EXPECT_NEAR(view.view_cx, 390, 1e-2);
    EXPECT_NEAR(view.view_cy, 384, 1e-2);
    EXPECT_NEAR(view.view_left, -2340, 0.1);
    EXPECT_NEAR(view.view_right, 3120, 0.1);
    EXPECT_NEAR(view.view_top, -2304, 0.1);
    EXPECT_NEAR(view.view_bottom, 3072, 0.1);
}

TEST_F(view_test, ZoomIsCappedAtAHundred) {
    view.view_left = 100;
    view.view_right = 101;
    view.view_top = 100;
    view.view_bottom = 101;
    fit_view(view);
    EXPECT_EQ(view.zoom, 100);
    EXPECT_NEAR(view.view_right - view.view_left, 7.8, 1e-4);
}

TEST_F(view_test, MappingPutsTheCentreMidAreaAndTheTopAtZero) {
    zoom_step(view, fig, 0);
    zoom_step(view, fig, 0);
    EXPECT_EQ(world_to_screen_x(view.view_cx, view.view_cx, view.zoom, 780), 390);
    EXPECT_NEAR(world_to_screen_y(view.view_top, view.view_cy, view.zoom, 768), 0, 1e-4);
    EXPECT_NEAR(world_to_screen_x(view.view_right, view.view_cx, view.zoom, 780), 780, 1e-3);
    // and the pointer's way back
    float wx = screen_to_world(100, view.view_cx, view.zoom, 780);
    EXPECT_NEAR(world_to_screen_x(wx, view.view_cx, view.zoom, 780), 100, 1e-3);
}

}  // namespace
}  // namespace flopkin
