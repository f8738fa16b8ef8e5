#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "physics/joint.hpp"
#include "golden_figure.hpp"
#include "sample_figures.hpp"
#include "physics_fixture.hpp"

namespace flopkin {
namespace {

using step_test = figure_test;

TEST_F(step_test, LoneBallFallsByTheTriangleNumbersOfGravity) {
    ball_ref b = put_ball(300, 100);
    const float expected[] = {0.1f, 0.3f, 0.6f, 1.0f, 1.5f};
    for (int frame = 0; frame < 5; ++frame) {
        step();
        EXPECT_NEAR(b->y - 100, expected[frame], 1e-4) << "frame " << frame + 1;
        EXPECT_NEAR(b->vy, 0.1f * (frame + 1), 1e-5);
        EXPECT_EQ(b->x, 300);
        EXPECT_EQ(b->wall_hit, 0);
    }
}

TEST_F(step_test, DrawModeHoldsALoneBallStill) {
    mode = figure_mode::draw;
    ball_ref b = put_ball(300, 100);
    for (int frame = 0; frame < 3; ++frame) step();
    EXPECT_EQ(b->x, 300);
    EXPECT_EQ(b->y, 100);
    EXPECT_EQ(b->vx, 0);
    EXPECT_EQ(b->vy, 0);
}

TEST_F(step_test, FloorSetsTheBallOnItAndBounces) {
    ball_ref b = put_ball(300, 750);
    b->vx = 2;
    b->vy = 10;
    step();
    // 750 + 10.1 crosses 768 - 13
    EXPECT_FLOAT_EQ(b->y, 768 - 13);
    EXPECT_FLOAT_EQ(b->vy, -0.8f * 10.1f);
    EXPECT_FLOAT_EQ(b->vx, 0.9f * 2);
    EXPECT_EQ(b->wall_hit, 1);
    // the bounced velocity carries into the next frame
    step();
    EXPECT_NEAR(b->y, 755 - 0.8f * 10.1f + 0.1f, 1e-3);
    EXPECT_EQ(b->wall_hit, 0);
    // the ceiling the same way down
    ball_ref high = put_ball(300, 20);
    high->vy = -30;
    step();
    EXPECT_FLOAT_EQ(high->y, 0 + 13);
    EXPECT_FLOAT_EQ(high->vy, -0.8f * -29.9f);
    // balls just touching the side walls are no hit: they fall alike, as a
    // ball in the open does
    ball_ref left = put_ball(view.view_left + 13, 100), right = put_ball(view.view_right - 13, 100);
    for (int frame = 0; frame < 5; ++frame) step();
    EXPECT_EQ(left->y, right->y);
    EXPECT_EQ(left->vy, right->vy);
    EXPECT_NEAR(left->y - 100, 1.5f, 1e-4);
    EXPECT_EQ(left->x, view.view_left + 13);
    EXPECT_EQ(right->x, view.view_right - 13);
}

TEST_F(step_test, TouchingAWallIsNoHit) {
    ball_ref b = put_ball(780 - 13, 300);
    mode = figure_mode::draw;
    step();
    EXPECT_EQ(b->wall_hit, 0);
    EXPECT_EQ(b->x, 780 - 13);
}

TEST_F(step_test, BallWiderThanTheViewEndsOnTheLeftWallWithTwoBounces) {
    // floor and ceiling out of reach, so only the side walls act
    view.view_top = -2000;
    view.view_bottom = 3000;
    ball_ref b = put_ball(390, 300);
    b->radius = 400;
    b->vx = 1;
    b->vy = 1;
    b->keep_in_view(view);
    EXPECT_FLOAT_EQ(b->x, 0 + 400);
    EXPECT_FLOAT_EQ(b->vx, 0.64f);
    EXPECT_FLOAT_EQ(b->vy, 0.81f);
    EXPECT_EQ(b->wall_hit, 1);
}

TEST_F(step_test, LinkPassClosesThirtyPercentOfTheErrorSplitByMass) {
    ball_ref p = put_ball(100, 300);
    ball_ref q = put_ball(150, 300);
    put_link(p, q, 40);  // stretched by 10
    relax_links(fig);
    EXPECT_NEAR(q->x - p->x, 40 + 0.7f * 10, 1e-4);
    EXPECT_NEAR(p->x, 101.5f, 1e-4);
    EXPECT_NEAR(p->shift_x, 1.5f, 1e-5);

    q->x = 150;
    p->x = 100;
    q->mass = 3;
    relax_links(fig);
    EXPECT_NEAR(p->shift_x, 0.225f * 10, 1e-5);
    EXPECT_NEAR(q->shift_x, -0.075f * 10, 1e-5);
    EXPECT_EQ(p->shift_y, 0);
    EXPECT_NEAR(p->x, 102.25f, 1e-4);
    EXPECT_NEAR(q->x, 149.25f, 1e-4);
}

TEST_F(step_test, ThirtyPassesLeaveSevenTenthsToTheThirtiethOfTheError) {
    mode = figure_mode::draw;
    gravity = 0;
    ball_ref p = put_ball(200, 300);
    ball_ref q = put_ball(300, 300);
    put_link(p, q, 90);
    step();
    EXPECT_NEAR((q->x - p->x) - 90, 10 * std::pow(0.7, 30), 1e-4);
}

TEST_F(step_test, CoincidentBallsOfALinkStayPut) {
    ball_ref p = put_ball(200, 300);
    ball_ref q = put_ball(200, 300);
    put_link(p, q, 20);
    relax_links(fig);
    EXPECT_EQ(p->x, 200);
    EXPECT_EQ(q->y, 300);
}

TEST_F(step_test, TensionPushesTheRightAngleTowardsStraight) {
    ball_ref end_a = put_ball(0, 0);
    ball_ref vertex = put_ball(1, 0);
    ball_ref end_b = put_ball(1, 1);
    put_tension(end_a, vertex, end_b, 180, 30);
    relax_tensions(fig, false);
    EXPECT_NEAR(end_a->shift_x, 0, 1e-6);
    EXPECT_NEAR(end_a->shift_y, -0.1575f, 1e-6);
    EXPECT_NEAR(end_b->shift_x, 0.1575f, 1e-6);
    EXPECT_NEAR(end_b->shift_y, 0, 1e-6);
    EXPECT_NEAR(vertex->shift_x, -0.1575f, 1e-6);
    EXPECT_NEAR(vertex->shift_y, 0.1575f, 1e-6);
    // the balls move by their shifts
    EXPECT_NEAR(end_a->y, -0.1575f, 1e-6);
    EXPECT_NEAR(end_b->x, 1.1575f, 1e-6);
    EXPECT_NEAR(vertex->x, 1 - 0.1575f, 1e-6);
    EXPECT_NEAR(vertex->y, 0.1575f, 1e-6);
}

TEST_F(step_test, TensionAtItsRestAngleDoesNothing) {
    ball_ref p = put_ball(100, 100);
    ball_ref v = put_ball(140, 130);
    ball_ref q = put_ball(90, 170);
    build_tensions(fig, 30);  // no links: nothing built
    EXPECT_TRUE(fig.tensions.is_empty());
    float rest = joint_angle(v->x - p->x, v->y - p->y, q->x - v->x, q->y - v->y);
    put_tension(p, v, q, rest, 30);
    relax_tensions(fig, false);
    EXPECT_NEAR(p->x, 100, 1e-4);
    EXPECT_NEAR(v->y, 130, 1e-4);
    EXPECT_NEAR(q->x, 90, 1e-4);
}

TEST_F(step_test, TensionBoundIsTheStrengthInPlayAndTheArmsInDraw) {
    // arms of 100, bent by 10 degrees: f = bound x 10 / 400
    ball_ref p = put_ball(100, 300);
    ball_ref v = put_ball(200, 300);
    float turn = 10 * 3.14159265f / 180;
    ball_ref q = put_ball(200 + 100 * std::cos(turn), 300 + 100 * std::sin(turn));
    put_tension(p, v, q, 180, 30);
    relax_tensions(fig, false);
    float play_push = std::hypot(q->shift_x, q->shift_y);
    EXPECT_NEAR(play_push, 30 * 10.0 / 400 / 100, 1e-5);
    q->x = 200 + 100 * std::cos(turn);
    q->y = 300 + 100 * std::sin(turn);
    p->x = 100, p->y = 300, v->x = 200, v->y = 300;
    relax_tensions(fig, true);
    float draw_push = std::hypot(q->shift_x, q->shift_y);
    EXPECT_NEAR(draw_push, 7000 * 10.0 / 400 / 100, 1e-3);
}

TEST_F(step_test, RestAnglesFromADocumentThatAreNoAngleDoNothing) {
    ball_ref p = put_ball(100, 300);
    ball_ref v = put_ball(150, 300);
    ball_ref q = put_ball(150, 350);
    put_tension(p, v, q, std::numeric_limits<float>::quiet_NaN(), 30);
    put_tension(p, v, q, -std::numeric_limits<float>::infinity(), 30);
    relax_tensions(fig, false);
    for (const ball_ref& b : {p, v, q}) {
        EXPECT_EQ(b->shift_x, 0);
        EXPECT_EQ(b->shift_y, 0);
    }
}

TEST_F(step_test, RestAngleManyTurnsOverActsAsItsOwnTurn) {
    ball_ref p = put_ball(100, 300);
    ball_ref v = put_ball(150, 300);
    ball_ref q = put_ball(150, 350);
    tension_ref t = put_tension(p, v, q, 180 + 360 * 1000, 30);
    relax_tensions(fig, false);
    float far = q->shift_x;
    p->x = 100, p->y = 300, v->x = 150, v->y = 300, q->x = 150, q->y = 350;
    t->rest_angle = 180;
    relax_tensions(fig, false);
    EXPECT_NE(far, 0);
    EXPECT_FLOAT_EQ(far, q->shift_x);
}

TEST(wrap, OrdinaryAnglesWrapAsByRepeatedTurns) {
    EXPECT_EQ(wrap_180(180), 180);
    EXPECT_EQ(wrap_180(-180), -180);
    EXPECT_FLOAT_EQ(wrap_180(180.5f), -179.5f);
    EXPECT_EQ(wrap_360(360), 0);
    EXPECT_EQ(wrap_360(-360), 0);
    EXPECT_FLOAT_EQ(wrap_360(-90), 270);
    EXPECT_FLOAT_EQ(wrap_360(1000.25f), 280.25f);
    EXPECT_FLOAT_EQ(wrap_180(-1000.25f), 79.75f);
    EXPECT_FLOAT_EQ(wrap_360(719.5f), 359.5f);
    EXPECT_FLOAT_EQ(wrap_360(-3600.5f), 359.5f);
}

TEST(wrap, HugeAndNonFiniteAnglesComeBackAtOnce) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float wild : {3e38f, -3e38f, 1e20f, -7.5e9f}) {
        float w = wrap_360(wild);
        EXPECT_GE(w, 0) << wild;
        EXPECT_LT(w, 360) << wild;
        float h = wrap_180(wild);
        EXPECT_GE(h, -180) << wild;
        EXPECT_LE(h, 180) << wild;
    }
    for (float none : {inf, -inf, nan}) {
        EXPECT_EQ(wrap_360(none), 0);
        EXPECT_EQ(wrap_180(none), 0);
    }
}

TEST(joint, FastAtan2FollowsTheLibraryOne) {
    // every octant, near the axes and the diagonals, and the signed zeros
    double worst = 0;
    for (int k = 0; k < 200000; ++k) {
        double turn = k * (2 * 3.14159265358979 / 200000) + 1e-7;
        for (float len : {1e-3f, 1.0f, 5e4f}) {
            float x = len * static_cast<float>(std::cos(turn)), y = len * static_cast<float>(std::sin(turn));
            double want = std::atan2(static_cast<double>(y), static_cast<double>(x)) * 180 / 3.14159265358979323846;
            worst = std::max(worst, std::fabs(fast_atan2_deg(y, x) - want));
        }
    }
    EXPECT_LT(worst, 2e-5);  // about one float step at 180 degrees
    EXPECT_EQ(fast_atan2_deg(0.0f, 1.0f), 0.0f);
    EXPECT_EQ(fast_atan2_deg(1.0f, 0.0f), 90.0f);
    EXPECT_EQ(fast_atan2_deg(0.0f, -1.0f), 180.0f);
    EXPECT_EQ(fast_atan2_deg(-1.0f, 0.0f), -90.0f);
    EXPECT_EQ(fast_atan2_deg(1.0f, 1.0f), 45.0f);
}

TEST(joint, OneAtan2AgreesWithTheDifferenceOfTwo) {
    // every direction of both arms, at several lengths
    double worst = 0;
    for (int i = 0; i < 72; ++i) {
        for (int j = 0; j < 72; ++j) {
            for (float len : {0.001f, 1.0f, 37.5f, 3000.0f}) {
                double t1 = i * 5.03 * 3.14159265358979 / 180, t2 = j * 4.97 * 3.14159265358979 / 180;
                float dx1 = len * static_cast<float>(std::cos(t1)), dy1 = len * static_cast<float>(std::sin(t1));
                float dx2 = static_cast<float>(std::cos(t2)), dy2 = static_cast<float>(std::sin(t2));
                double two = atan2_deg(dy1, -dx1) - atan2_deg(dy2, -dx2) + 180;
                two = std::fmod(two + 720, 360);
                double diff = std::fabs(joint_angle(dx1, dy1, dx2, dy2) - two);
                diff = std::min(diff, 360 - diff);
                worst = std::max(worst, diff);
            }
        }
    }
    EXPECT_LT(worst, 5e-5);  // a few float steps at 180
}

TEST(joint, ZeroArmTakesTheDirectionTheTwoAtan2FormulaGivesIt) {
    // (0, 0) then (0, 1): atan2(0, -0) = 180 and atan2(1, -0) = 90, so 270,
    // where the cross and dot products would both be 0
    EXPECT_FLOAT_EQ(joint_angle(0, 0, 0, 1), 270);
    EXPECT_FLOAT_EQ(joint_angle(0, 1, 0, 0), 90);
}

TEST_F(step_test, GoldenFiguresAfterTwoHundredFrames) {
    add_golden_figure(fig);
    for (int frame = 0; frame < golden_frames; ++frame) step();
    for (std::size_t i = 0; i < fig.balls.slot_count(); ++i) {
        const ball& b = *fig.balls.slot(i);
        ASSERT_TRUE(std::isfinite(b.x) && std::isfinite(b.y));
        ASSERT_GE(b.y, -20);
        ASSERT_LE(b.y, 790);
    }
    EXPECT_EQ(state_hash(fig), 15240944233068787223ull);
    // the same with the figures colliding
    fig.clear();
    add_golden_figure(fig);
    label_figures(fig);
    contacts.collide = true;
    for (int frame = 0; frame < golden_frames; ++frame) step();
    EXPECT_EQ(state_hash(fig), 4618167063983023249ull);
}

}  // namespace
}  // namespace flopkin
