// The inputs that only add to the frame: pause and single step, the wheel,
// and moving a ball in draw mode.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "editing_harness.hpp"
#include "sample_figures.hpp"

namespace flopkin::testing {
namespace {

struct stick : harness {
    stick() {
        add_stick_figure(a.figure, 390, 300);
        a.mode = figure_mode::play;
    }
    std::vector<float> positions() {
        std::vector<float> out;
        for (ball_ref b : a.figure.balls.all()) out.insert(out.end(), {b->x, b->y, b->vx, b->vy});
        return out;
    }
    void type(int code, int modifiers = 0) {
        hb.press(code, modifiers);
        hb.release(code, modifiers);
        frame();
    }
};

TEST(Pause, HoldsTheStepAndSingleStepsMatchARunOfTheSameSteps) {
    std::vector<float> expected;
    {
        stick reference;
        reference.frames(10);
        expected = reference.positions();
    }
    stick s;
    s.frames(4);
    s.type('P');  // this frame takes no step: 4 steps so far
    std::vector<float> held = s.positions();
    s.frames(20);
    EXPECT_EQ(s.positions(), held);
    EXPECT_NE(s.text("Paused"), nullptr);
    s.type('N');
    s.type(key_period);
    s.type('N');  // 7 steps
    EXPECT_NE(s.text("Paused"), nullptr);
    s.type('P');  // resumed: this frame steps, 8
    EXPECT_EQ(s.text("Paused"), nullptr);
    s.frames(2);
    EXPECT_EQ(s.positions(), expected);

    // a ball grabbed while paused moves alone and starts from rest
    s.type('P');
    held = s.positions();
    ball_ref head = s.ball_list()[0];
    head->to_screen(s.a.view);
    s.press_at(static_cast<int>(head->screen_x), static_cast<int>(head->screen_y));
    s.move_to(static_cast<int>(head->screen_x) + 30, static_cast<int>(head->screen_y));
    std::vector<float> now = s.positions();
    EXPECT_NE(now[0], held[0]);
    EXPECT_EQ(now[2], 0.0f);
    for (std::size_t i = 4; i < now.size(); ++i) EXPECT_EQ(now[i], held[i]);
    s.release_at(static_cast<int>(head->screen_x), static_cast<int>(head->screen_y));

    // entering draw mode ends the pause
    s.type(key_space);
    EXPECT_EQ(s.a.mode, figure_mode::draw);
    EXPECT_FALSE(s.a.loop.paused);
}

TEST(Wheel, EachNotchIsAFrameOfTheZoomButtons) {
    std::vector<float> by_button;
    {
        stick s;
        s.frame();
        const button& plus = s.a.row_of(zoom_value).plus;
        s.press_at(static_cast<int>(plus.x + 2), static_cast<int>(plus.y + 2));
        s.frames(5);
        s.release_at(0, 0);
        const button& minus = s.a.row_of(zoom_value).minus;
        s.press_at(static_cast<int>(minus.x + 2), static_cast<int>(minus.y + 2));
        s.frames(2);
        by_button = {s.a.view.view_left, s.a.view.view_right, s.a.view.view_top, s.a.view.view_bottom, s.a.view.zoom};
    }
    stick s;
    s.frame();
    for (int i = 0; i < 6; ++i) {
        s.hb.scroll(1);
        s.frame();
    }
    s.frame();  // the release frame
    // a touchpad's fractions add up to whole notches, the rest kept for later
    for (std::vector<float> parts : {std::vector<float>{-0.6f, -0.6f}, {-0.8f}, {-1}}) {
        for (float part : parts) s.hb.scroll(part);
        s.frame();
    }
    EXPECT_EQ((std::vector<float>{s.a.view.view_left, s.a.view.view_right, s.a.view.view_top, s.a.view.view_bottom,
                                  s.a.view.zoom}),
              by_button);

    // a burst of notches between two frames counts as 100 at most
    auto burst = [](int notches) {
        stick b;
        b.frame();
        for (int i = 0; i < notches; ++i) b.hb.scroll(-1);
        b.frame();
        return std::vector<float>{b.a.view.view_left, b.a.view.view_right, b.a.view.view_top, b.a.view.view_bottom,
                                  b.a.view.zoom};
    };
    EXPECT_EQ(burst(150), burst(100));
    EXPECT_NE(burst(99), burst(100));
}

// every ball's place, every link's rest length and every tension's rest angle
std::vector<float> shape(figure& f) {
    std::vector<float> out;
    for (ball_ref b : f.balls.all()) out.insert(out.end(), {b->x, b->y});
    for (const auto& l : f.links.all()) out.push_back(l->rest_length);
    for (const auto& t : f.tensions.all()) out.push_back(t->rest_angle);
    return out;
}

TEST(MoveBall, ShiftDragMovesOneBallAndItsRestsAsOneUndoStep) {
    stick s;
    s.a.mode = figure_mode::draw;
    s.frames(3);
    std::vector<float> before = shape(s.a.figure);
    std::vector<ball_ref> balls = s.ball_list();
    ball_ref hand = balls[5];
    int x = static_cast<int>(hand->screen_x), y = static_cast<int>(hand->screen_y);
    float from_x = hand->x, from_y = hand->y;
    s.hb.move(x, y);
    s.hb.press(code_mouse_left, modifier_shift);
    s.frame();
    EXPECT_EQ(shape(s.a.figure), before);  // a press alone moves nothing
    s.move_to(x + 15, y - 5);
    s.move_to(x + 40, y + 20);
    s.release_at(x + 40, y + 20);
    s.frames(3);
    EXPECT_EQ(hand->x, from_x + 40 / s.a.view.zoom);
    EXPECT_EQ(hand->y, from_y + 20 / s.a.view.zoom);
    EXPECT_EQ(s.a.figure.links.count(), 10u);  // no link drawn, no ball placed
    std::vector<float> after = shape(s.a.figure);
    for (std::size_t b = 0; b < balls.size(); ++b)
        if (balls[b] != hand) {
            EXPECT_TRUE(after[2 * b] == before[2 * b] && after[2 * b + 1] == before[2 * b + 1]) << b;
        }
    std::size_t i = 2 * balls.size();
    for (const auto& l : s.a.figure.links.all()) {
        bool ours = l->end_a == hand || l->end_b == hand;
        EXPECT_EQ(after[i] != before[i], ours) << i;
        if (ours) {
            EXPECT_FLOAT_EQ(l->rest_length, std::hypot(l->end_a->x - l->end_b->x, l->end_a->y - l->end_b->y));
        }
        ++i;
    }
    s.type('Z', modifier_ctrl);
    EXPECT_EQ(shape(s.a.figure), before);

    // the right button moves a ball too
    hand = s.ball_list()[5];
    s.hb.move(x, y);
    s.hb.press(code_mouse_right);
    s.frame();
    s.move_to(x, y + 30);
    s.hb.release(code_mouse_right);
    s.frame();
    EXPECT_EQ(hand->y, from_y + 30 / s.a.view.zoom);

    // zoomed out by ten notches, the ball still follows the pointer pixel for pixel
    for (int notch = 0; notch < 10; ++notch) {
        s.hb.scroll(-1);
        s.frame();
    }
    s.frames(2);
    ASSERT_LT(s.a.view.zoom, 0.9f);
    x = static_cast<int>(hand->screen_x);
    y = static_cast<int>(hand->screen_y);
    float from_screen_x = hand->screen_x;
    s.hb.move(x, y);
    s.hb.press(code_mouse_left, modifier_shift);
    s.frame();
    s.move_to(x + 60, y);
    s.move_to(x + 120, y);
    s.release_at(x + 120, y);
    s.frames(2);
    EXPECT_NEAR(hand->screen_x - from_screen_x, 120, 0.5);
}

}  // namespace
}  // namespace flopkin::testing
