// Figure labels: every connected group of balls numbered 1, 2, 3 ... in the
// list order of its first ball.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/app.hpp"
#include "editing_plain_labels.hpp"

namespace flopkin {
namespace {

struct figure_maker {
    app a;
    std::vector<ball_ref> made;

    explicit figure_maker(int n) {
        for (int i = 0; i < n; ++i) {
            auto b = std::make_shared<ball>();
            b->owner = &a;
            b->figure = 77;  // stale label from an earlier pass
            a.balls.add_last(b);
            made.push_back(b);
        }
    }
    void join(int p, int q) {
        auto l = std::make_shared<link>();
        l->end_a = made[p];
        l->end_b = made[q];
        a.links.add_last(l);
    }
    std::vector<int> labels() const {
        std::vector<int> out;
        for (const auto& b : made) out.push_back(b->figure);
        return out;
    }
};

TEST(EditingLabelFigures, GroupsNumberedInOrderOfTheirFirstBall) {
    figure_maker f(7);
    // groups {0, 4}, {1, 2, 6} joined backwards and through a late ball, {3}, {5}
    f.join(4, 0);
    f.join(6, 2);
    f.join(1, 6);
    f.a.label_figures();
    EXPECT_EQ(f.labels(), (std::vector<int>{1, 2, 2, 3, 1, 4, 2}));
}

TEST(EditingLabelFigures, EmptyAndUnlinkedFigures) {
    figure_maker none(0);
    none.a.label_figures();  // nothing to label, nothing to fail

    figure_maker loose(3);
    loose.a.label_figures();
    EXPECT_EQ(loose.labels(), (std::vector<int>{1, 2, 3}));

    figure_maker looped(2);
    looped.join(1, 1);
    looped.join(0, 1);
    looped.join(1, 0);
    looped.a.label_figures();
    EXPECT_EQ(looped.labels(), (std::vector<int>{1, 1}));
}

TEST(EditingLabelFigures, SameNumbersAsThePlainWayOnRandomFigures) {
    std::mt19937 gen(20261207);
    for (int round = 0; round < 200; ++round) {
        int n = 1 + static_cast<int>(gen() % 60);
        int links = static_cast<int>(gen() % (n + 10));
        figure_maker fast(n), plain(n);
        for (int k = 0; k < links; ++k) {
            int p = static_cast<int>(gen() % n), q = static_cast<int>(gen() % n);
            fast.join(p, q);
            plain.join(p, q);
        }
        fast.a.label_figures();
        plain_label_figures(plain.a);
        ASSERT_EQ(fast.labels(), plain.labels()) << "round " << round;
    }
}

TEST(EditingLabelFigures, LinkToABallOutsideTheListJoinsNothing) {
    figure_maker f(3);
    // its stale label looks like a list position, which must not be trusted
    auto stray = std::make_shared<ball>();
    stray->figure = 1;
    auto l = std::make_shared<link>();
    l->end_a = f.made[0];
    l->end_b = stray;
    f.a.links.add_last(l);
    l = std::make_shared<link>();
    l->end_a = stray;
    l->end_b = f.made[2];
    f.a.links.add_last(l);
    f.a.label_figures();
    EXPECT_EQ(f.labels(), (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace flopkin
