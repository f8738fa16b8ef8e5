#include <random>
#include <vector>

#include "physics/joint.hpp"
#include "physics_fixture.hpp"

namespace flopkin {
namespace {

using build_test = figure_test;

struct made {
    int a, v, b;
    bool operator==(const made&) const = default;
};

std::vector<made> numbers_of(const figure& f) {
    std::vector<made> out;
    for (std::size_t i = 0; i < f.tensions.slot_count(); ++i) {
        const tension& t = *f.tensions.slot(i);
        out.push_back({t.end_a->number, t.vertex->number, t.end_b->number});
    }
    return out;
}

// the generation as first described: every vertex resets every counter and
// scans every link
void literal_build(figure& f, std::vector<tension>& out) {
    std::vector<ball_ref> neighbours;
    for (std::size_t vi = 0; vi < f.balls.slot_count(); ++vi) {
        const ball_ref& v = f.balls.slot(vi);
        for (std::size_t i = 0; i < f.balls.slot_count(); ++i) f.balls.slot(i)->tension_count = 0;
        neighbours.clear();
        for (std::size_t li = 0; li < f.links.slot_count(); ++li) {
            const link& l = *f.links.slot(li);
            if (l.end_a == v) neighbours.push_back(l.end_b);
            if (l.end_b == v) neighbours.push_back(l.end_a);
        }
        for (const ball_ref& p : neighbours) {
            for (const ball_ref& q : neighbours) {
                if (p == q || v == p || v == q || !(p->number < q->number)) continue;
                if (!(p->tension_count < 3 || q->tension_count < 3)) continue;
                ++p->tension_count;
                ++q->tension_count;
                tension t;
                t.end_a = p;
                t.vertex = v;
                t.end_b = q;
                float dx1 = v->x - p->x, dy1 = v->y - p->y, dx2 = q->x - v->x, dy2 = q->y - v->y;
                t.rest_angle = wrap_360(static_cast<float>(atan2_deg(dy1, -dx1) - atan2_deg(dy2, -dx2) + 180));
                t.strength = 30;
                out.push_back(t);
            }
        }
    }
}

TEST_F(build_test, FourNeighboursGiveAllSixPairsInNumberOrder) {
    ball_ref v = put_ball(300, 300);
    v->number = 9;
    ball_ref n[4] = {put_ball(250, 300), put_ball(300, 250), put_ball(350, 300), put_ball(300, 350)};
    for (int i = 0; i < 4; ++i) n[i]->number = i + 1;
    // links made in a shuffled order and orientation
    put_link(n[2], v, 50);
    put_link(v, n[0], 50);
    put_link(n[3], v, 50);
    put_link(v, n[1], 50);
    build_tensions(fig, 30);
    // neighbours in link order are 3, 1, 4, 2; each pair once, smaller first
    EXPECT_EQ(numbers_of(fig), (std::vector<made>{{3, 9, 4}, {1, 9, 3}, {1, 9, 4}, {1, 9, 2}, {2, 9, 3}, {2, 9, 4}}));
    // with the neighbours linked in number order the pairs come in order
    fig.tensions.clear();
    fig.links.clear();
    for (int i = 0; i < 4; ++i) put_link(v, n[i], 50);
    build_tensions(fig, 30);
    EXPECT_EQ(numbers_of(fig), (std::vector<made>{{1, 9, 2}, {1, 9, 3}, {1, 9, 4}, {2, 9, 3}, {2, 9, 4}, {3, 9, 4}}));
    for (std::size_t i = 0; i < fig.tensions.slot_count(); ++i) EXPECT_EQ(fig.tensions.slot(i)->strength, 30);
}

TEST_F(build_test, FiveNeighboursGiveNineTensionsWithoutTheLastPair) {
    ball_ref v = put_ball(300, 300);
    v->number = 6;
    for (int i = 0; i < 5; ++i) {
        ball_ref n = put_ball(300 + 40.0f * i, 200);
        n->number = i + 1;
        put_link(v, n, 100);
    }
    build_tensions(fig, 30);
    std::vector<made> got = numbers_of(fig);
    ASSERT_EQ(got.size(), 9u);
    for (made m : got) EXPECT_FALSE(m.a == 4 && m.b == 5);
}

TEST_F(build_test, EqualNumbersGiveNoTensionAndOneLinkNoVertex) {
    ball_ref v = put_ball(300, 300);
    ball_ref p = put_ball(250, 300);
    ball_ref q = put_ball(350, 300);
    p->number = q->number = 2;
    v->number = 1;
    put_link(p, v, 50);
    put_link(v, q, 50);
    build_tensions(fig, 30);
    EXPECT_TRUE(fig.tensions.is_empty());
    q->number = 3;
    build_tensions(fig, 30);
    ASSERT_EQ(fig.tensions.count(), 1u);
    EXPECT_FLOAT_EQ(fig.tensions.slot(0)->rest_angle, 180);  // p, v, q in a line
    EXPECT_EQ(fig.tensions.slot(0)->vertex, v);
}

TEST_F(build_test, OldTensionsAreReplaced) {
    ball_ref p = put_ball(250, 300);
    ball_ref v = put_ball(300, 300);
    ball_ref q = put_ball(300, 350);
    put_tension(q, p, v, 12, 99);
    put_link(p, v, 50);
    put_link(v, q, 50);
    build_tensions(fig, 30);
    ASSERT_EQ(fig.tensions.count(), 1u);
    EXPECT_EQ(fig.tensions.slot(0)->end_a, p);
    EXPECT_EQ(fig.tensions.slot(0)->end_b, q);
}

TEST_F(build_test, SameTensionsInTheSameOrderAsTheFirstDescription) {
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        fig.clear();
        int count = 5 + static_cast<int>(random() % 40);
        std::vector<ball_ref> balls;
        for (int i = 0; i < count; ++i) {
            ball_ref b = put_ball(static_cast<float>(random() % 700), static_cast<float>(random() % 700));
            // numbers repeat now and then, as after deletions
            b->number = static_cast<int>(random() % (count + 3));
            balls.push_back(b);
        }
        int links = static_cast<int>(random() % (3 * count));
        for (int i = 0; i < links; ++i) {
            // repeated pairs and self links can come from documents
            put_link(balls[random() % count], balls[random() % count], 10);
        }
        std::vector<tension> want;
        literal_build(fig, want);
        build_tensions(fig, 30);
        ASSERT_EQ(fig.tensions.count(), want.size()) << "round " << round;
        for (std::size_t i = 0; i < want.size(); ++i) {
            const tension& t = *fig.tensions.slot(i);
            EXPECT_EQ(t.end_a, want[i].end_a);
            EXPECT_EQ(t.vertex, want[i].vertex);
            EXPECT_EQ(t.end_b, want[i].end_b);
            EXPECT_NEAR(t.rest_angle, want[i].rest_angle, 1e-4);
            EXPECT_EQ(t.strength, want[i].strength);
        }
    }
}

}  // namespace
}  // namespace flopkin
