#include <cmath>
#include <limits>

#include "physics_fixture.hpp"
#include "platform/base/random.hpp"

namespace flopkin {
namespace {

class removal_test : public app_figure_test {
protected:
    // a chain p - v - q with its tension
    void SetUp() override {
        app_figure_test::SetUp();
        p = put_ball(100, 100);
        v = put_ball(150, 100);
        q = put_ball(200, 100);
        put_link(p, v, 50);
        put_link(v, q, 50);
        put_tension(p, v, q, 180, 30);
    }
    ball_ref p, v, q;
};

TEST_F(removal_test, MiddleBallTakesBothLinksAndTheTension) {
    a->delete_ball(v);
    EXPECT_EQ(a->figure.balls.count(), 2u);
    EXPECT_TRUE(a->figure.links.is_empty());
    EXPECT_TRUE(a->figure.tensions.is_empty());
}

TEST_F(removal_test, EndBallLeavesTheOtherLink) {
    a->delete_ball(q);
    EXPECT_EQ(a->figure.balls.count(), 2u);
    ASSERT_EQ(a->figure.links.count(), 1u);
    EXPECT_EQ(a->figure.links.slot(0)->end_a, p);
    EXPECT_EQ(a->figure.links.slot(0)->end_b, v);
    EXPECT_TRUE(a->figure.tensions.is_empty());
}

TEST_F(removal_test, NoBallOrAnUnlistedBallChangesNothing) {
    a->delete_ball(nullptr);
    auto stranger = std::make_shared<ball>(rand);
    a->delete_ball(stranger);
    EXPECT_EQ(a->figure.balls.count(), 3u);
    EXPECT_EQ(a->figure.links.count(), 2u);
    EXPECT_EQ(a->figure.tensions.count(), 1u);
}

TEST_F(removal_test, ClearAllKeepsTheSelectedBallValidButUnsimulated) {
    a->editing.selected = v;
    a->clear_all();
    EXPECT_TRUE(a->figure.balls.is_empty());
    EXPECT_TRUE(a->figure.links.is_empty());
    EXPECT_TRUE(a->figure.tensions.is_empty());
    ASSERT_TRUE(a->editing.selected);
    EXPECT_EQ(a->editing.selected->x, 150);
    a->simulation_step();
    a->draw_figure();
    EXPECT_EQ(a->editing.selected->y, 100);  // gravity never reached it
    for (const draw_record& r : screen.drawn) EXPECT_NE(r.kind, draw_record::shape::oval);
}

TEST_F(removal_test, FarLimitIsInclusive) {
    p->x = 3333333.0f;
    q->y = -3333333.5f;
    a->drop_far_balls();
    ASSERT_EQ(a->figure.balls.count(), 2u);
    EXPECT_EQ(a->figure.balls.slot(0), p);
    EXPECT_EQ(a->figure.balls.slot(1), v);
    EXPECT_EQ(a->figure.links.count(), 1u);
    EXPECT_TRUE(a->figure.tensions.is_empty());
}

TEST_F(removal_test, FarButFiniteBallsStayUntilTheNextFrameStarts) {
    put_link(p, q, 1e8f);
    std::string why;
    ASSERT_TRUE(open_graphics(frame_width, frame_height, 0, frames_per_second, why));
    a->run_frame();
    EXPECT_EQ(a->figure.balls.count(), 3u);
    EXPECT_GT(std::abs(q->x - p->x), 2 * far_limit);
    a->run_frame();
    EXPECT_LT(a->figure.balls.count(), 3u);
}

TEST_F(removal_test, BallsThatAreNotFiniteGoWithTheirLinks) {
    v->x = std::numeric_limits<float>::quiet_NaN();
    q->y = std::numeric_limits<float>::infinity();
    a->drop_far_balls();
    ASSERT_EQ(a->figure.balls.count(), 1u);
    EXPECT_EQ(a->figure.balls.slot(0), p);
    EXPECT_TRUE(a->figure.links.is_empty());
    EXPECT_TRUE(a->figure.tensions.is_empty());
}

TEST_F(removal_test, BallTurnedNaNMidFrameDoesNotPoisonItsFigure) {
    // as after a document handed over a position that is not a number
    ball_ref r = put_ball(250, 100);
    put_link(q, r, 50);
    a->simulation_step();
    v->x = std::numeric_limits<float>::quiet_NaN();
    a->simulation_step();
    EXPECT_EQ(a->figure.balls.count(), 3u);
    for (std::size_t i = 0; i < a->figure.balls.slot_count(); ++i) {
        const ball& b = *a->figure.balls.slot(i);
        EXPECT_TRUE(std::isfinite(b.x) && std::isfinite(b.y)) << i;
    }
    EXPECT_EQ(a->figure.links.count(), 1u);
}

TEST_F(removal_test, LinkToABallOutsideTheListReadsItButNeverMovesIt) {
    auto outsider = std::make_shared<ball>(rand);
    outsider->x = 100;
    outsider->y = 200;
    put_link(p, outsider, 50);  // stretched by 50
    a->relax_links();
    EXPECT_EQ(outsider->x, 100);
    EXPECT_EQ(outsider->y, 200);
    EXPECT_NEAR(p->y, 100 + 0.15f * 50, 1e-4);
}

TEST_F(removal_test, MassThatIsNotPositiveWeighsAsOne) {
    p->mass = 0;
    v->mass = 0;
    v->x = 160;  // the link p-v stretched by 10: each end takes half of 0.3
    a->relax_links();
    EXPECT_NEAR(p->shift_x, 0.15f * 10, 1e-5);
    a->mode = figure_mode::draw;
    a->simulation_step();
    EXPECT_TRUE(std::isfinite(p->x) && std::isfinite(v->x));
    EXPECT_EQ(a->figure.balls.count(), 3u);
}

}  // namespace
}  // namespace flopkin
