// Play-mode dragging: the grabbed ball sits on the pointer with no velocity.
#include <gtest/gtest.h>

#include "editing_harness.hpp"

namespace flopkin::testing {
namespace {

struct play_figure : harness {
    play_figure() {
        a.mode = figure_mode::play;
        // two overlapping balls around x = 110 and one apart
        for (float x : {100.0f, 120.0f, 400.0f}) {
            ball_ref b = add_ball(x, 300);
            b->vx = 3;
            b->mass = 0.25f;
        }
    }
    // a frame of its own, so that a release applies once the press was seen
    void step() {
        clear_screen();
        a.drag_step();
    }
};

TEST(DragStep, HeldBallSitsOnThePointerWithNoVelocity) {
    play_figure f;
    auto balls = f.ball_list();
    f.hb.move(403, 296);
    f.hb.press(1);
    f.step();
    EXPECT_EQ(f.a.editing.dragged, balls[2]);
    EXPECT_FLOAT_EQ(balls[2]->x, 403);
    EXPECT_FLOAT_EQ(balls[2]->y, 296);
    EXPECT_EQ(balls[2]->vx, 0);
    EXPECT_EQ(balls[2]->vy, 0);
    EXPECT_EQ(balls[0]->vx, 3);  // the others are left to the simulation

    // the pointer runs ahead of the ball's cached screen place: still held
    for (int x : {450, 520, 600}) {
        f.hb.move(x, 200);
        f.step();
        EXPECT_FLOAT_EQ(balls[2]->x, static_cast<float>(x));
        EXPECT_FLOAT_EQ(balls[2]->y, 200);
        EXPECT_EQ(balls[2]->vx, 0);
    }
    f.hb.release(1);
    f.step();
    EXPECT_EQ(f.a.editing.dragged, nullptr);
    f.hb.move(100, 100);
    f.step();
    EXPECT_FLOAT_EQ(balls[2]->x, 600);  // let go: no longer follows
}

TEST(DragStep, PointerIsConvertedThroughTheView) {
    play_figure f;
    auto balls = f.ball_list();
    f.hb.move(400, 300);
    f.hb.press(1);
    f.step();
    ASSERT_EQ(f.a.editing.dragged, balls[2]);
    f.a.view.zoom = 0.5f;
    f.a.view.view_cx = 1000;
    f.a.view.view_cy = -100;
    f.hb.move(490, 284);
    f.step();
    EXPECT_FLOAT_EQ(balls[2]->x, 1200);  // (490 - 390) / 0.5 + 1000
    EXPECT_FLOAT_EQ(balls[2]->y, -300);  // (284 - 384) / 0.5 - 100
}

TEST(DragStep, LaterOverlappingBallIsHeldAndKeptWhileMovingOverOthers) {
    play_figure f;
    auto balls = f.ball_list();
    f.hb.move(110, 300);
    f.hb.press(1);
    f.step();
    EXPECT_EQ(f.a.editing.dragged, balls[1]);
    f.hb.move(400, 300);  // right over the third ball
    f.step();
    EXPECT_EQ(f.a.editing.dragged, balls[1]);
    f.hb.move(100, 300);
    f.step();
    EXPECT_EQ(f.a.editing.dragged, balls[1]);
}

TEST(DragStep, RimIsOutsideAndAPressOnEmptyCanvasGrabsTheFirstBallPassed) {
    play_figure f;
    auto balls = f.ball_list();
    f.hb.move(413, 300);  // exactly on the rim
    f.hb.press(1);
    f.step();
    EXPECT_EQ(f.a.editing.dragged, nullptr);
    EXPECT_FLOAT_EQ(balls[2]->x, 400);
    f.hb.move(408, 300);
    f.step();
    EXPECT_EQ(f.a.editing.dragged, balls[2]);
}

TEST(DragStep, EveryMassIsResetWhetherOrNotAnythingIsHeld) {
    play_figure f;
    f.step();
    for (ball_ref b : f.a.figure.balls.all()) EXPECT_EQ(b->mass, 1.0f);
    EXPECT_EQ(f.a.editing.dragged, nullptr);
    for (ball_ref b : f.a.figure.balls.all()) EXPECT_EQ(b->vx, 3);
}

}  // namespace
}  // namespace flopkin::testing
