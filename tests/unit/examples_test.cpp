// The example documents shipped in examples/: each opens whole, starts inside
// the view of a fresh run, and holds together while it falls and lands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/app.hpp"
#include "physics/joint.hpp"
#include "physics/stretch.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"

namespace flopkin {
namespace {

struct example_case {
    const char* name;
    std::size_t balls, links;
};

class Examples : public ::testing::TestWithParam<example_case> {
protected:
    headless_backend be{false};
    void SetUp() override { use_backend(&be); }
    void TearDown() override { use_backend(nullptr); }
};

TEST_P(Examples, OpensInViewAndHoldsTogetherAfterTenSeconds) {
    const example_case& c = GetParam();
    app a;
    a.loop.options.document = std::string(FLOPKIN_EXAMPLES_DIR) + "/" + c.name;
    a.loop.options.seed = 1;
    std::string error;
    ASSERT_TRUE(a.start_up(error)) << error;
    EXPECT_EQ(a.figure.balls.count(), c.balls);
    EXPECT_EQ(a.figure.links.count(), c.links);
    EXPECT_GT(a.figure.tensions.count(), 0u);
    for (const link_ref& l : a.figure.links.all()) ASSERT_TRUE(l->end_a && l->end_b);
    for (const tension_ref& t : a.figure.tensions.all()) ASSERT_TRUE(t->end_a && t->vertex && t->end_b);
    // the load did not have to widen the view: the figure shows whole at zoom 1
    EXPECT_EQ(a.view.view_left, 0);
    EXPECT_EQ(a.view.view_right, 780);
    EXPECT_EQ(a.view.view_top, 0);
    EXPECT_EQ(a.view.view_bottom, 768);

    std::string why;
    ASSERT_TRUE(open_graphics(a.view.screen_width, a.view.screen_height, 0, 60, why));
    unpace_frames();
    float start_y = a.figure.balls.slot(0)->y;
    for (int frame = 0; frame < 600; ++frame) ASSERT_TRUE(a.run_frame());
    EXPECT_EQ(a.mode, figure_mode::play);
    ASSERT_EQ(a.figure.balls.count(), c.balls);
    for (const ball_ref& b : a.figure.balls.all()) {
        ASSERT_TRUE(std::isfinite(b->x) && std::isfinite(b->y));
        EXPECT_GE(b->x, a.view.view_left - 1);
        EXPECT_LE(b->x, a.view.view_right + 1);
        EXPECT_GE(b->y, a.view.view_top - 1);
        EXPECT_LE(b->y, a.view.view_bottom + 1);
    }
    EXPECT_GT(a.figure.balls.slot(0)->y, start_y + 100) << "the figure did not fall";
    for (const link_ref& l : a.figure.links.all()) {
        float length = std::hypot(l->end_b->x - l->end_a->x, l->end_b->y - l->end_a->y);
        EXPECT_NEAR(length, l->rest_length, 0.5f * l->rest_length) << "a link tore";
    }
}

// Draw mode holds a figure as it was built bit for bit, and brings a played
// one back to the shape it was built in without tearing it: a mesh's balls
// take part in many tensions each, whose summed pushes once overshot.
TEST_P(Examples, DrawModeHoldsABuiltFigureAndBringsAPlayedOneBackWhole) {
    app a;
    a.loop.options.document = std::string(FLOPKIN_EXAMPLES_DIR) + "/" + GetParam().name;
    std::string error;
    ASSERT_TRUE(a.start_up(error)) << error;
    auto places = [&] {
        std::vector<float> out;
        for (const ball_ref& b : a.figure.balls.all()) out.insert(out.end(), {b->x, b->y});
        return out;
    };
    auto worst = [&](bool angles) {
        float w = 0;
        for (const link_ref& l : a.figure.links.all())
            w = std::max(w, angles ? 0 : std::fabs(present_length(*l->end_a, *l->end_b) - l->rest_length));
        for (const tension_ref& t : a.figure.tensions.all())
            w = std::max(w, angles ? std::fabs(wrap_180(present_angle(*t->end_a, *t->vertex, *t->end_b) - t->rest_angle)) : 0);
        return w;
    };
    std::vector<float> opened = places();
    a.mode_command();
    for (int frame = 0; frame < 60; ++frame) a.run_frame();
    EXPECT_EQ(places(), opened);

    a.mode_command();
    for (int frame = 0; frame < 180; ++frame) a.run_frame();
    a.mode_command();
    for (int frame = 0; frame < 60; ++frame) a.run_frame();
    EXPECT_LT(worst(false), 1) << "a link tore";
    for (int frame = 0; frame < 30; ++frame) a.run_frame();
    EXPECT_LT(worst(true), 2) << "degrees from the shape it was built in";
}

INSTANTIATE_TEST_SUITE_P(Shipped, Examples,
                         ::testing::Values(example_case{"stick-figure.fkn", 11, 10},
                                           example_case{"chain-bridge.fkn", 26, 49},
                                           example_case{"soft-blob.fkn", 42, 101},
                                           example_case{"crowd.fkn", 72, 72}),
                         [](const auto& instance) {
                             std::string n = instance.param.name;
                             return n.substr(0, n.find('-') == std::string::npos ? n.find('.') : n.find('-'));
                         });

}  // namespace
}  // namespace flopkin
