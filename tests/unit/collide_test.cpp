// Figures that collide: balls of different figures meeting as discs in play mode.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

#include "allocation_count.hpp"
#include "editing_harness.hpp"
#include "physics_fixture.hpp"
#include "physics/relaxation.hpp"
#include "sample_figures.hpp"

namespace flopkin {
namespace {

// Of the pairs of balls of different figures that touch, the share that
// overlap by at most `within` of their radii's sum, and the worst overlap.
struct overlaps {
    double share_within = 1, worst = 0;
};
overlaps measure(const figure& f, double within) {
    std::vector<const ball*> by_x;
    for (std::size_t i = 0; i < f.balls.slot_count(); ++i)
        if (f.balls.slot(i)) by_x.push_back(f.balls.slot(i).get());
    std::sort(by_x.begin(), by_x.end(), [](const ball* p, const ball* q) { return p->x < q->x; });
    float widest = 0;
    for (const ball* b : by_x) widest = std::max(widest, b->radius);
    long touching = 0, close = 0;
    overlaps o;
    for (std::size_t i = 0; i < by_x.size(); ++i)
        for (std::size_t j = i + 1; j < by_x.size() && by_x[j]->x - by_x[i]->x < 2 * widest; ++j) {
            const ball &p = *by_x[i], &q = *by_x[j];
            const double reach = p.radius + q.radius, d = std::hypot(q.x - p.x, q.y - p.y);
            if (p.figure == q.figure || d >= reach) continue;
            ++touching;
            close += (reach - d) / reach <= within;
            o.worst = std::max(o.worst, (reach - d) / reach);
        }
    if (touching > 0) o.share_within = static_cast<double>(close) / static_cast<double>(touching);
    return o;
}

class collide_test : public figure_test {
protected:
    void SetUp() override {
        figure_test::SetUp();
        contacts.collide = true;
    }
};

TEST_F(collide_test, TwoStickFiguresDroppedOneAboveTheOtherEndStacked) {
    // from two heights: from the second the touching balls meet across two
    // rows of the grid's cells
    for (float drop : {330.0f, 300.0f}) {
        fig.clear();
        add_stick_figure(fig, 390, 560);
        add_stick_figure(fig, 400, drop);
        label_figures(fig);
        for (int frame = 0; frame < 300; ++frame) step();
        EXPECT_LE(measure(fig, 0.05).worst, 0.05) << drop;
        // the upper one rests on the lower: its hip above the lower one's head
        EXPECT_LT(fig.balls.slot(13)->y, fig.balls.slot(0)->y) << drop;
    }
}

TEST_F(collide_test, CrowdFallsIntoAPileOfBallsBarelyOverlapping) {
    // the widest view, which the crowd fills but a third of
    view.view_left = -2340;
    view.view_right = 3120;
    view.view_top = -2304;
    view.view_bottom = 3072;
    fit_view(view);
    add_sized_figure(fig, "crowd", 19998, -2300, -1100);
    label_figures(fig);
    ASSERT_EQ(fig.balls.count(), 19998u);
    for (int frame = 0; frame < 400; ++frame) step();
    const overlaps o = measure(fig, 0.05);
    EXPECT_GE(o.share_within, 0.99);
    EXPECT_LE(o.worst, 0.5);
}

// Lone balls, each a figure of its own, with no gravity: what the contacts
// alone do to them in one step.
TEST_F(collide_test, PushesShareByHoldAndSkipBadRadiiAndCoincidentCentres) {
    gravity = 0;
    ball_ref held = put_ball(100, 100), pushed = put_ball(110, 100);
    ball_ref left = put_ball(300, 100), right = put_ball(310, 100);
    ball_ref on = put_ball(500, 100), same = put_ball(500, 100);
    std::vector<ball_ref> bad;
    for (float r : {0.0f, -5.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        bad.push_back(put_ball(100 + 60 * static_cast<float>(bad.size()), 400));
        bad.push_back(put_ball(bad.back()->x + 5, 400));
        bad.back()->radius = r;
    }
    // wider than the world, and merely wide: one is skipped, the other
    // takes the wide balls' way through the grid
    ball_ref huge = put_ball(400, 700), wide = put_ball(600, 700);
    huge->radius = 1e30f;
    wide->radius = 1e5f;
    label_figures(fig);
    contacts.held = held.get();
    step();
    // the held ball stays, the other takes the whole push out to touching
    EXPECT_EQ(held->x, 100);
    EXPECT_NEAR(pushed->x, 126, 0.01);
    // free balls share it
    EXPECT_NEAR(left->x, 292, 0.01);
    EXPECT_NEAR(right->x, 318, 0.01);
    // coincident centres part along x
    EXPECT_NEAR(same->x - on->x, 26, 0.01);
    EXPECT_EQ(same->y, on->y);
    // a ball of a bad radius pushes no one (an infinite one leaves the
    // figure, set beyond every wall)
    for (std::size_t k = 0; k < bad.size(); k += 2) EXPECT_EQ(bad[k]->x, 100 + 60 * static_cast<float>(k)) << k;
    for (const ball_ref& b : fig.balls.all()) EXPECT_TRUE(std::isfinite(b->x) && std::isfinite(b->y));
}

// A ball wider than the grid's cells is paired apart from the grid; it
// still never pushes a ball of its own figure, small or wide: linked closer
// than their radii allow, with nothing else acting, they stay where they are.
TEST_F(collide_test, AWideBallLeavesItsOwnFigureAlone) {
    gravity = 0;
    // lone balls of the usual size elsewhere, so that the cells stay narrow
    for (int k = 0; k < 5; ++k) put_ball(100 + 40 * static_cast<float>(k), 100);
    ball_ref wide = put_ball(400, 400), small = put_ball(420, 400), other_wide = put_ball(400, 440);
    wide->radius = other_wide->radius = 40;
    put_link(wide, small, 20);
    put_link(wide, other_wide, 40);
    label_figures(fig);
    step();
    EXPECT_NEAR(std::hypot(small->x - wide->x, small->y - wide->y), 20, 0.01);
    EXPECT_NEAR(std::hypot(other_wide->x - wide->x, other_wide->y - wide->y), 40, 0.01);
}

// A ball in more pairs than a group of balls takes moves by their sum one
// ball at a time: pushed from its right by twenty small balls, it goes left
// as far as the mass-weighted middle of all of them stays put.
TEST_F(collide_test, ABallInManyPairsMovesByTheirSum) {
    gravity = 0;
    ball_ref big = put_ball(400, 300);
    big->radius = 60;
    big->mass = 5;
    for (int k = 0; k < 20; ++k) {
        const float turn = 3.1415927f * (static_cast<float>(k) / 19 - 0.5f);
        put_ball(400 + 65 * std::cos(turn), 300 + 65 * std::sin(turn))->radius = 10;
    }
    label_figures(fig);
    auto middle_x = [&] {
        double moment = 0, mass = 0;
        for (const ball_ref& b : fig.balls.all()) {
            moment += static_cast<double>(b->mass) * b->x;
            mass += b->mass;
        }
        return moment / mass;
    };
    const double before = middle_x();
    step();
    EXPECT_LT(big->x, 399);
    EXPECT_NEAR(middle_x(), before, 0.01);
}

TEST_F(collide_test, HundredThousandBallsPiledOnOneScreenAllocateNothingPerFrame) {
    add_sized_figure(fig, "crowd", 100000, 0, 0);
    label_figures(fig);
    step();
    // two threads from the start: a team left to size itself may begin its
    // first trial, and make its threads, within the frames counted when the
    // machine is busy
    fig.relax->use_threads(2);
    step();
    step();
    const long before = allocations_so_far();
    for (int frame = 0; frame < 3; ++frame) step();
    EXPECT_EQ(allocations_so_far() - before, 0);
}

}  // namespace

namespace testing {
namespace {

// the mean x of balls [first, first + count) of the list
float mean_x(harness& h, std::size_t first, std::size_t count) {
    std::vector<ball_ref> balls = h.ball_list();
    float sum = 0;
    for (std::size_t i = first; i < first + count; ++i) sum += balls[i]->x;
    return sum / static_cast<float>(count);
}

TEST(Collide, KeyTurnsItOnWithItsLineAndAThrownFigurePushesAnother) {
    harness h;
    add_stick_figure(h.a.figure, 150, 660);
    add_stick_figure(h.a.figure, 450, 660);
    label_figures(h.a.figure);
    h.a.mode = figure_mode::play;
    h.frames(30);
    const float standing = mean_x(h, 11, 11);
    h.hb.press('C');
    h.hb.release('C');
    h.frame();
    ASSERT_TRUE(h.a.loop.collide);
    ASSERT_NE(h.text("Collide"), nullptr);
    EXPECT_EQ(h.text("Collide")->values[1], 4);
    h.hb.press('P');
    h.hb.release('P');
    h.frame();
    h.a.notice.say("an earlier run's figure");
    h.frame();
    EXPECT_EQ(h.text("Paused")->values[1], 4);
    EXPECT_EQ(h.text("Collide")->values[1], 24);
    EXPECT_EQ(h.text(h.a.notice.text)->values[1], 44);
    h.hb.press('P');
    h.hb.release('P');
    h.frame();
    // the first figure's hip grabbed and flung right, into the second
    ball_ref hip = h.ball_list()[2];
    hip->to_screen(h.a.view);
    int x = static_cast<int>(hip->screen_x), y = static_cast<int>(hip->screen_y);
    h.press_at(x, y);
    for (int step = 0; step < 8; ++step) h.move_to(x += 25, y);
    h.release_at(x, y);
    h.frames(40);
    EXPECT_GT(mean_x(h, 11, 11), standing + 20);
}

}  // namespace
}  // namespace testing
}  // namespace flopkin
