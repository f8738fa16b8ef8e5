// Figure labels: every connected group of balls numbered 1, 2, 3 ... in the
// list order of its first ball.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/app.hpp"
#include "editing_plain_labels.hpp"
#include "figure_builder.hpp"
#include "platform/base/random.hpp"

namespace flopkin {
namespace {

struct figure_maker {
    app a;
    std::vector<ball_ref> made;

    explicit figure_maker(int n) {
        for (int i = 0; i < n; ++i) {
            made.push_back(put_ball(a.figure, 0, 0));
            made.back()->figure = 77;  // stale label from an earlier pass
        }
    }
    void join(int p, int q) { put_link(a.figure, made[p], made[q], 0); }
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
    auto stray = std::make_shared<ball>(rand);
    stray->figure = 1;
    put_link(f.a.figure, f.made[0], stray, 0);
    put_link(f.a.figure, stray, f.made[2], 0);
    f.a.label_figures();
    EXPECT_EQ(f.labels(), (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace flopkin
