// Play-mode dragging through whole frames, the zoom row and the file buttons:
// the steps of the frame working together.
#include <gtest/gtest.h>

#include "editing_harness.hpp"

namespace flopkin::testing {
namespace {

TEST(PlayMode, HeldBallFollowsThePointerThroughTheFrame) {
    harness h;
    ball_ref b = h.add_ball(300, 300);
    h.frame();  // drawn once, so its screen place is known
    h.press_at(static_cast<int>(b->screen_x), static_cast<int>(b->screen_y));
    ASSERT_EQ(h.a.editing.dragged, b);
    for (int i = 0; i < 10; ++i) {
        h.move_to(200 + 10 * i, 250);
        EXPECT_NEAR(b->x, 200 + 10 * i, 0.01);
        EXPECT_NEAR(b->y, 250, 0.01);
    }
}

TEST(PlayMode, AThrownBallKeepsThePointersLastMotion) {
    harness h;
    ball_ref b = h.add_ball(300, 300);
    h.frame();
    h.press_at(static_cast<int>(b->screen_x), static_cast<int>(b->screen_y));
    for (int i = 1; i <= 5; ++i) h.move_to(300 + 12 * i, 300);
    h.release_at(360, 300);
    h.frame();
    // let go at x 360 moving 12 a frame; the next frame carries it on
    EXPECT_EQ(h.a.editing.dragged, nullptr);
    EXPECT_GT(b->x, 370);
    EXPECT_NEAR(b->vx, 12, 0.5);
}

TEST(PlayMode, AThrownFigureMovesTogether) {
    harness h;
    h.press_at(300, 300);
    h.release_at(360, 300);  // two balls and a link, drawn in draw mode
    auto balls = h.ball_list();
    ASSERT_EQ(balls.size(), 2u);
    const button& mode = h.a.button_of(&app::mode_command);
    h.click(static_cast<int>(mode.x + 100), static_cast<int>(mode.y + 20));
    ASSERT_EQ(h.a.mode, figure_mode::play);
    h.frame();
    h.press_at(static_cast<int>(balls[1]->screen_x), static_cast<int>(balls[1]->screen_y));
    ASSERT_EQ(h.a.editing.dragged, balls[1]);
    for (int i = 1; i <= 8; ++i) h.move_to(static_cast<int>(balls[1]->screen_x) + 10, 300);
    h.release_at(static_cast<int>(balls[1]->screen_x), 300);
    float before = balls[0]->x;
    h.frames(3);
    // the free end pulled the rest along and both fly on to the right
    EXPECT_GT(balls[0]->x, before + 10);
    EXPECT_GT(balls[0]->vx, 3);
    EXPECT_GT(balls[1]->vx, 3);
    EXPECT_NEAR(balls[1]->x - balls[0]->x, 60, 6);
}

TEST(ZoomRow, SteppersChangeTheZoomWhileHeld) {
    harness h;
    h.add_ball(300, 300);
    h.a.mode = figure_mode::play;
    h.frames(2);
    const button& minus = h.a.row_of(zoom_value).minus;
    h.press_at(static_cast<int>(minus.x + 20), static_cast<int>(minus.y + 20));
    float once = h.a.view.zoom;
    EXPECT_LT(once, 1.0f);
    h.frames(9);
    EXPECT_LT(h.a.view.zoom, once);
    EXPECT_EQ(h.a.row_of(zoom_value).display.label.rfind("Zoom= ", 0), 0u);
}

TEST(FileButtons, RequesterClosingReArmsAndClearsEscape) {
    harness h;
    h.add_ball(300, 300);
    h.a.mode = figure_mode::play;
    h.frames(2);
    const button& open = h.a.button_of(&app::open_command);
    h.hb.move(static_cast<int>(open.x + 100), static_cast<int>(open.y + 20));
    h.hb.press(1);
    h.hb.press(key_escape);
    EXPECT_TRUE(h.frame());  // Escape cancelled the requester, not the program
    ASSERT_EQ(h.hb.requester_calls.size(), 1u);
    EXPECT_EQ(h.hb.requester_calls[0].prompt, "Open file:");
    EXPECT_TRUE(h.a.click_armed);
}

TEST(FileButtons, EachFileButtonAsksWithItsOwnRequester) {
    harness h;
    h.add_ball(300, 300);
    h.a.mode = figure_mode::play;
    h.frames(2);
    for (auto act : {&app::open_command, &app::add_command, &app::save_document, &app::save_document_as}) {
        const button& b = h.a.button_of(act);
        h.press_at(static_cast<int>(b.x + 100), static_cast<int>(b.y + 20));
        h.release_at(0, 0);
    }
    ASSERT_EQ(h.hb.requester_calls.size(), 4u);
    EXPECT_EQ(h.hb.requester_calls[0].prompt, "Open file:");
    EXPECT_EQ(h.hb.requester_calls[1].prompt, "Open file:");
    // a figure that was never saved asks for a name on Save too
    EXPECT_EQ(h.hb.requester_calls[2].prompt, "Save as:");
    EXPECT_EQ(h.hb.requester_calls[3].prompt, "Save as:");
    EXPECT_EQ(h.a.figure.balls.count(), 1u);  // every requester was cancelled
}

}  // namespace
}  // namespace flopkin::testing
