// The menu's buttons acting on the app: value rows while held, commands once
// per press.
#include <gtest/gtest.h>

#include <cmath>

#include "editing_harness.hpp"

namespace flopkin::testing {
namespace {

struct commands : harness {
    commands() {
        // one ball keeps the app out of the forced draw mode
        add_ball(200, 200);
        a.mode = figure_mode::play;
        frame();  // lays the menu out and arms the latch
    }
    static int cx(const button& b) { return static_cast<int>(b.x + b.width / 2); }
    static int cy(const button& b) { return static_cast<int>(b.y + b.height / 2); }
    void press_on(const button& b) { press_at(cx(b), cy(b)); }
    void hold_on(const button& b, int n) {
        press_on(b);
        for (int i = 1; i < n; ++i) frame();
    }
    menu& m() { return *a.menu; }
    template <float settings::*field>
    value_row& row() {
        return a.row_of(setting_value<field>);
    }
};

TEST(CommandsValueRows, GravityRisesForASecondThenStopsAtOne) {
    commands c;
    c.hold_on(c.row<&settings::gravity>().plus, 60);
    float expected = 0.1f;
    for (int i = 0; i < 60; ++i) expected *= 1.02f;
    EXPECT_EQ(c.a.settings.gravity, expected);
    EXPECT_NEAR(c.a.settings.gravity, 0.328, 0.001);
    EXPECT_NE(c.text("Gravity= 328"), nullptr);  // shown in the same frame
    c.frames(60);
    EXPECT_EQ(c.a.settings.gravity, 1.0f);
    c.release_at(0, 0);
    c.hold_on(c.row<&settings::gravity>().minus, 400);
    EXPECT_EQ(c.a.settings.gravity, 0.001f);
}

TEST(CommandsValueRows, LimitsOfSizeWidthAndForce) {
    commands c;
    c.hold_on(c.row<&settings::ball_size>().minus, 200);
    EXPECT_EQ(c.a.settings.ball_size, 1.0f);
    c.release_at(0, 0);
    c.hold_on(c.row<&settings::link_width>().minus, 200);
    EXPECT_EQ(c.a.settings.link_width, 0.1f);
    c.release_at(0, 0);
    c.hold_on(c.row<&settings::angle_force>().plus, 300);
    EXPECT_EQ(c.a.settings.angle_force, 3000.0f);
    c.release_at(0, 0);
    c.hold_on(c.row<&settings::ball_size>().plus, 300);
    EXPECT_EQ(c.a.settings.ball_size, 200.0f);
    c.release_at(0, 0);
    c.hold_on(c.row<&settings::link_width>().plus, 400);
    EXPECT_EQ(c.a.settings.link_width, 200.0f);
}

TEST(CommandsValueRows, SizesReachEveryElementEveryFrame) {
    commands c;
    ball_ref p = c.ball_list()[0];
    ball_ref q = c.add_ball(300, 300);
    p->radius = 40;
    link_ref l = put_link(c.a.figure, p, q, 0);
    l->width = 9;
    tension_ref t = put_tension(c.a.figure, p, q, p, 0, 1);
    c.frame();
    EXPECT_EQ(p->radius, 13);
    EXPECT_EQ(q->radius, 13);
    EXPECT_EQ(l->width, 2);
    EXPECT_EQ(t->strength, 30);
    c.hold_on(c.row<&settings::ball_size>().plus, 2);
    EXPECT_EQ(p->radius, 13 * 1.02f * 1.02f);
}

TEST(CommandsLatch, HoldingTheModeButtonTogglesOnce) {
    commands c;
    c.hold_on(c.a.button_of(&app::mode_command), 30);
    EXPECT_EQ(c.a.mode, figure_mode::draw);
    c.release_at(0, 0);
    c.press_on(c.a.button_of(&app::mode_command));
    EXPECT_EQ(c.a.mode, figure_mode::play);
}

// a tap (pressed and let go between two frames) acts as a click, once per tap
TEST(CommandsLatch, ATapShorterThanAFrameActs) {
    commands c;
    c.hb.move(commands::cx(c.a.button_of(&app::mode_command)), commands::cy(c.a.button_of(&app::mode_command)));
    c.hb.press(1);
    c.hb.release(1);
    c.frame();
    EXPECT_EQ(c.a.mode, figure_mode::draw);
    c.frame();
    c.hb.press(1);
    c.hb.release(1);
    c.frame();
    EXPECT_EQ(c.a.mode, figure_mode::play);
}

TEST(CommandsLatch, NothingActsOnTheFirstFrame) {
    harness h;
    h.add_ball(200, 200);
    // the boxes of the first frame are still empty and the latch unarmed
    h.press_at(800, 20);
    EXPECT_EQ(h.a.mode, figure_mode::play);
    h.release_at(800, 20);
    h.press_at(800, 20);
    EXPECT_EQ(h.a.mode, figure_mode::draw);
}

TEST(CommandsLatch, SlidingOntoACommandDoesNothingButOntoAStepperActs) {
    commands c;
    c.press_at(400, 400);
    c.move_to(commands::cx(c.a.button_of(&app::mode_command)), commands::cy(c.a.button_of(&app::mode_command)));
    c.move_to(commands::cx(c.a.button_of(&app::clear_all_command)), commands::cy(c.a.button_of(&app::clear_all_command)));
    c.frame();
    EXPECT_EQ(c.a.mode, figure_mode::play);
    EXPECT_EQ(c.a.figure.balls.count(), 1u);
    c.move_to(commands::cx(c.row<&settings::gravity>().plus), commands::cy(c.row<&settings::gravity>().plus));
    c.frame();
    EXPECT_EQ(c.a.settings.gravity, 0.1f * 1.02f * 1.02f);
}

TEST(CommandsMode, LeavingDrawModeClearsTheSelectionAndRelabels) {
    commands c;
    c.release_at(0, 0);
    c.press_on(c.a.button_of(&app::mode_command));
    c.release_at(0, 0);
    ASSERT_EQ(c.a.mode, figure_mode::draw);
    c.click(500, 500);
    c.click(600, 500);
    ball_ref placed = c.ball_list()[2];
    EXPECT_EQ(c.a.editing.selected, placed);
    EXPECT_EQ(placed->figure, 0);

    c.press_on(c.a.button_of(&app::mode_command));
    EXPECT_EQ(c.a.mode, figure_mode::play);
    EXPECT_EQ(c.a.editing.selected, nullptr);
    EXPECT_EQ(c.ball_list()[0]->figure, 1);
    EXPECT_EQ(c.ball_list()[1]->figure, 2);
    EXPECT_EQ(placed->figure, 3);
    // the press on the mode button placed nothing
    EXPECT_EQ(c.a.figure.balls.count(), 3u);

    // back to draw mode: nothing else changes
    for (ball_ref b : c.a.figure.balls.all()) b->figure = 9;
    c.release_at(0, 0);
    c.press_on(c.a.button_of(&app::mode_command));
    EXPECT_EQ(c.a.mode, figure_mode::draw);
    EXPECT_EQ(c.ball_list()[0]->figure, 9);
}

TEST(CommandsDelete, OnlyInDrawModeAndOnlyTheSelectedBall) {
    commands c;
    c.a.editing.selected = c.ball_list()[0];  // cannot happen in play mode, but must not matter
    c.press_on(c.a.button_of(&app::delete_command));
    EXPECT_EQ(c.a.figure.balls.count(), 1u);
    c.release_at(0, 0);

    c.press_on(c.a.button_of(&app::mode_command));
    c.release_at(0, 0);
    ASSERT_EQ(c.a.mode, figure_mode::draw);
    c.click(500, 500);
    ball_ref placed = c.ball_list()[1];
    ASSERT_EQ(c.a.editing.selected, placed);
    c.press_on(c.a.button_of(&app::delete_command));
    EXPECT_EQ(c.a.editing.selected, nullptr);
    EXPECT_EQ(c.a.figure.balls.count(), 1u);
    EXPECT_NE(c.ball_list()[0], placed);
    c.release_at(0, 0);
    c.press_on(c.a.button_of(&app::delete_command));  // nothing selected: nothing deleted
    EXPECT_EQ(c.a.figure.balls.count(), 1u);
}

TEST(CommandsClear, ClearAllInPlayModeEmptiesAndEntersDrawMode) {
    commands c;
    c.add_ball(300, 300);
    c.a.editing.selected = c.ball_list()[1];
    c.press_on(c.a.button_of(&app::clear_all_command));
    EXPECT_TRUE(c.a.figure.balls.is_empty());
    EXPECT_TRUE(c.a.figure.links.is_empty());
    EXPECT_EQ(c.a.mode, figure_mode::draw);
    EXPECT_NE(c.a.editing.selected, nullptr);  // Clear All leaves the selection alone
}

TEST(CommandsQuit, EndsTheFrameAtOnce) {
    commands c;
    c.hb.move(commands::cx(c.a.button_of(&app::quit_command)), commands::cy(c.a.button_of(&app::quit_command)));
    c.hb.press(1);
    EXPECT_FALSE(c.frame());
    EXPECT_TRUE(c.a.loop.quit_requested);
    // the frame stopped inside the command handling: no menu was drawn
    for (const auto& r : c.hb.drawn) EXPECT_NE(r.kind, draw_record::shape::text);
}

}  // namespace
}  // namespace flopkin::testing
