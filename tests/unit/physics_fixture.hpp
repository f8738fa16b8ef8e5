#pragma once
// A figure and a view of its own, stepped by the physics without an app; and
// the same over an app's figure for the tests of what the app does with it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/app.hpp"
#include "editing/figure_editing.hpp"
#include "figure_builder.hpp"
#include "physics/step.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"

namespace flopkin {

class figure_test : public ::testing::Test {
protected:
    void SetUp() override { use_backend(&screen); }
    void TearDown() override { use_backend(nullptr); }

    // balls of the editor's default size, links of its default width
    ball_ref put_ball(float x, float y) { return flopkin::put_ball(*into, x, y); }
    link_ref put_link(const ball_ref& from, const ball_ref& to, float rest) {
        link_ref l = flopkin::put_link(*into, from, to, rest);
        l->width = 2;
        return l;
    }
    tension_ref put_tension(const ball_ref& end_a, const ball_ref& vertex, const ball_ref& end_b, float rest,
                            float strength) {
        return flopkin::put_tension(*into, end_a, vertex, end_b, rest, strength);
    }

    // one frame's simulation step, as the app runs it with nobody dragging
    void step() {
        begin_step(fig, mode, gravity);
        end_step(fig, view, mode, contacts);
    }

    // a hub linked to `spokes` balls around it, tensions rebuilt: the hub's
    // arms each take part in far more tensions than a mesh ball's
    void put_star(float x, float y, int spokes, float reach) {
        ball_ref hub = put_ball(x, y);
        for (int k = 0; k < spokes; ++k) {
            float turn = 6.2831853f * static_cast<float>(k) / static_cast<float>(spokes);
            put_link(hub, put_ball(x + reach * std::cos(turn), y + reach * std::sin(turn)), reach);
        }
        build_tensions(*into, 30);
    }

    // joints the plain loops hand to the long way, inside the figure's
    // groups as well: two balls on one spot (an arm of length zero), and
    // every third rest angle six whole turns away
    void put_odd_joints(std::size_t ball, std::size_t onto) {
        into->balls.slot(ball)->x = into->balls.slot(onto)->x;
        into->balls.slot(ball)->y = into->balls.slot(onto)->y;
        for (std::size_t k = 0; k < into->tensions.slot_count(); k += 3) into->tensions.slot(k)->rest_angle += 2160;
    }

    headless_backend screen;
    figure fig;
    view_fields view;
    figure_mode mode = figure_mode::play;
    float gravity = 0.1f;
    contact_rule contacts;
    figure* into = &fig;
};

class app_figure_test : public figure_test {
protected:
    void SetUp() override {
        figure_test::SetUp();
        a = std::make_unique<app>();
        into = &a->figure;
    }
    void TearDown() override {
        a.reset();
        figure_test::TearDown();
    }
    std::unique_ptr<app> a;
};

}  // namespace flopkin
