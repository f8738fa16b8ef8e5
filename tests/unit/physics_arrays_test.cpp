// The array passes against a walk over the objects done the long way, and
// the promise that a standing figure's frame allocates nothing.
#include <cmath>
#include <map>
#include <random>

#include "allocation_count.hpp"
#include "sample_figures.hpp"
#include "physics_fixture.hpp"
#include "physics/relaxation.hpp"

namespace flopkin {
namespace {

// one frame's relaxation as first described: shifts zeroed, every
// constraint of the list walked with two atan2 per tension, shifts applied;
// in draw mode a ball in more than two tensions takes two of their mean
void long_way_pass(figure& f, bool links, int drawing) {
    std::map<const ball*, int> taking;
    for (std::size_t i = 0; i < f.balls.slot_count(); ++i) f.balls.slot(i)->shift_x = f.balls.slot(i)->shift_y = 0;
    if (links) {
        for (std::size_t i = 0; i < f.links.slot_count(); ++i) {
            link& l = *f.links.slot(i);
            ball &p = *l.end_a, &q = *l.end_b;
            double dx = q.x - p.x, dy = q.y - p.y;
            double d = std::max(std::sqrt(dx * dx + dy * dy), 0.00001);
            double e = d - l.rest_length;
            double ka = e / (1 + p.mass / q.mass), kb = -e / (1 + q.mass / p.mass);
            p.shift_x += static_cast<float>(ka * dx / d * 0.3);
            p.shift_y += static_cast<float>(ka * dy / d * 0.3);
            q.shift_x += static_cast<float>(kb * dx / d * 0.3);
            q.shift_y += static_cast<float>(kb * dy / d * 0.3);
        }
    } else {
        for (std::size_t i = 0; i < f.tensions.slot_count(); ++i) {
            tension& t = *f.tensions.slot(i);
            ball &p = *t.end_a, &v = *t.vertex, &q = *t.end_b;
            double dx1 = v.x - p.x, dy1 = v.y - p.y, dx2 = q.x - v.x, dy2 = q.y - v.y;
            double angle = std::atan2(dy1, -dx1) * 180 / M_PI - std::atan2(dy2, -dx2) * 180 / M_PI + 180;
            angle = std::fmod(angle + 720, 360);
            double error = std::remainder(angle - t.rest_angle, 360.0);
            double q1 = std::max(dx1 * dx1 + dy1 * dy1, 0.00001), q2 = std::max(dx2 * dx2 + dy2 * dy2, 0.00001);
            double push = std::min({0.7 * q1, 0.7 * q2, t.strength + 10000.0 * drawing}) * error / 400;
            p.shift_x += static_cast<float>(push * dy1 / q1);
            p.shift_y += static_cast<float>(-push * dx1 / q1);
            v.shift_x += static_cast<float>(-push * dy1 / q1 - push * dy2 / q2);
            v.shift_y += static_cast<float>(push * dx1 / q1 + push * dx2 / q2);
            q.shift_x += static_cast<float>(push * dy2 / q2);
            q.shift_y += static_cast<float>(-push * dx2 / q2);
            for (const ball* b : {&p, &v, &q}) taking[b] += drawing;
        }
    }
    for (std::size_t i = 0; i < f.balls.slot_count(); ++i) {
        ball& b = *f.balls.slot(i);
        const float share = taking[&b] > 2 ? 2.0f / static_cast<float>(taking[&b]) : 1.0f;
        b.x += b.shift_x * share;
        b.y += b.shift_y * share;
    }
}

class arrays_test : public figure_test {
protected:
    // a bent and shaken figure, its tensions built straight, then disturbed
    void shaken_figure(std::mt19937& random) {
        add_mesh(fig, 6, 5, 200, 200);
        add_crowd(fig, 4, 4, 200, 450);
        put_star(600, 300, 24, 50);  // 276 tensions at the hub: more than one block of the loose loop
        std::uniform_real_distribution<float> jiggle(-6, 6);
        for (std::size_t i = 0; i < fig.balls.slot_count(); ++i) {
            ball& b = *fig.balls.slot(i);
            b.x += jiggle(random);
            b.y += jiggle(random);
            b.mass = 1 + std::abs(jiggle(random)) / 3;
        }
        put_odd_joints(8, 9);
    }
};

TEST_F(arrays_test, PassesMatchTheLongWayOnShakenFigures) {
    std::mt19937 random(11);
    for (int round = 0; round < 5; ++round) {
        fig.clear();
        shaken_figure(random);
        std::vector<float> start;
        for (std::size_t i = 0; i < fig.balls.slot_count(); ++i) {
            start.push_back(fig.balls.slot(i)->x);
            start.push_back(fig.balls.slot(i)->y);
        }
        for (int kind = 0; kind < 3; ++kind) {
            bool links = kind == 0;
            int drawing = kind == 2 ? 1 : 0;
            for (std::size_t i = 0; i < fig.balls.slot_count(); ++i) {
                fig.balls.slot(i)->x = start[2 * i];
                fig.balls.slot(i)->y = start[2 * i + 1];
            }
            long_way_pass(fig, links, drawing);
            std::vector<float> want;
            for (std::size_t i = 0; i < fig.balls.slot_count(); ++i) {
                want.push_back(fig.balls.slot(i)->x);
                want.push_back(fig.balls.slot(i)->y);
                fig.balls.slot(i)->x = start[2 * i];
                fig.balls.slot(i)->y = start[2 * i + 1];
            }
            if (links)
                relax_links(fig);
            else
                relax_tensions(fig, drawing == 1);
            for (std::size_t i = 0; i < fig.balls.slot_count(); ++i) {
                EXPECT_NEAR(fig.balls.slot(i)->x, want[2 * i], 2e-3) << "kind " << kind << " ball " << i;
                EXPECT_NEAR(fig.balls.slot(i)->y, want[2 * i + 1], 2e-3) << "kind " << kind << " ball " << i;
            }
        }
    }
}

TEST_F(arrays_test, TinyAndZeroArmsPushTheWayTheLongWayDoes) {
    // end a on the vertex, end b on the vertex, both arms tiny: the pushes
    // are small, so each is compared in sign and size, not within a margin
    const float arms[][4] = {{0, 0, 0.004f, 0.002f}, {0.003f, -0.001f, 0, 0}, {0.003f, -0.002f, -0.001f, 0.004f}};
    // alone, and as the last of eight vertices of one pattern, which go
    // through the grouped loops with a single odd lane
    for (int vertices : {1, 8}) {
        for (const auto& arm : arms) {
            fig.clear();
            for (int k = 1; k < vertices; ++k) {
                const float x = 100.0f * static_cast<float>(k);
                put_tension(put_ball(x + 20, 50), put_ball(x, 50), put_ball(x, 70), 80, 30);
            }
            const float start[6] = {1 + arm[0], 1 + arm[1], 1, 1, 1 + arm[2], 1 + arm[3]};
            ball_ref p = put_ball(start[0], start[1]), v = put_ball(start[2], start[3]), q = put_ball(start[4], start[5]);
            put_tension(p, v, q, 90, 30);
            auto moves = [&] {
                float m[6] = {p->x, p->y, v->x, v->y, q->x, q->y};
                for (int k = 0; k < 6; ++k) m[k] -= start[k];
                p->x = start[0], p->y = start[1], v->x = start[2], v->y = start[3], q->x = start[4], q->y = start[5];
                return std::vector<float>(m, m + 6);
            };
            long_way_pass(fig, false, 0);
            std::vector<float> want = moves();
            relax_tensions(fig, false);
            std::vector<float> got = moves();
            for (int k = 0; k < 6; ++k)
                EXPECT_NEAR(got[k], want[k], 0.02f * std::abs(want[k])) << "coordinate " << k << " of vertex " << vertices;
            EXPECT_NE(std::abs(want[2]) + std::abs(want[3]), 0.0f);  // the vertex moves in every case
        }
    }
}

TEST_F(arrays_test, ListChangesBetweenFramesAreSeen) {
    add_mesh(fig, 4, 4, 200, 200);
    step();
    // a ball away from the mesh, then one of the mesh's balls removed
    ball_ref lone = put_ball(600, 100);
    fig.remove(fig.balls.slot(5));
    step();
    EXPECT_NEAR(lone->y, 100.1f, 1e-4);
    // a stretched link added to the lone ball pulls it
    ball_ref partner = put_ball(700, 100);
    put_link(lone, partner, 50);
    mode = figure_mode::draw;
    step();
    EXPECT_NEAR(partner->x - lone->x, 50, 0.01);
}

TEST_F(arrays_test, StandingFigureAllocatesNothingPerFrame) {
    add_mesh(fig, 12, 10, 150, 150);
    add_crowd(fig, 8, 4, 600, 100);
    step();
    step();
    long before = allocations_so_far();
    for (int frame = 0; frame < 10; ++frame) step();
    EXPECT_EQ(allocations_so_far() - before, 0);
    // tensions rebuilt: the arrays are redone once, then quiet again
    build_tensions(fig, 30);
    step();
    before = allocations_so_far();
    step();
    EXPECT_EQ(allocations_so_far() - before, 0);
    // shared by two threads: the team is made once, the frames stay quiet
    fig.relax->use_threads(2);
    step();
    before = allocations_so_far();
    for (int frame = 0; frame < 5; ++frame) step();
    EXPECT_EQ(allocations_so_far() - before, 0);
}

}  // namespace
}  // namespace flopkin
