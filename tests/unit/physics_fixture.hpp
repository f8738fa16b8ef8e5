#pragma once
// An app on the headless backend, and quick ways to put balls, links and
// tensions into it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/app.hpp"
#include "platform/graphics.hpp"
#include "platform/headless_backend.hpp"

namespace flopkin {

class figure_test : public ::testing::Test {
protected:
    void SetUp() override {
        use_backend(&screen);
        a = std::make_unique<app>();
    }
    void TearDown() override {
        a.reset();
        use_backend(nullptr);
    }

    ball_ref put_ball(float x, float y) {
        auto b = std::make_shared<ball>();
        b->x = b->old_x = x;
        b->y = b->old_y = y;
        b->owner = a.get();
        b->radius = a->ball_size;
        a->balls.add_last(b);
        b->number = static_cast<int>(a->balls.count());
        return b;
    }
    link_ref put_link(const ball_ref& from, const ball_ref& to, float rest) {
        auto l = std::make_shared<link>();
        l->owner = a.get();
        l->end_a = from;
        l->end_b = to;
        l->rest_length = rest;
        l->width = a->link_width;
        a->links.add_last(l);
        return l;
    }
    tension_ref put_tension(const ball_ref& end_a, const ball_ref& vertex, const ball_ref& end_b, float rest,
                            float strength) {
        auto t = std::make_shared<tension>();
        t->end_a = end_a;
        t->vertex = vertex;
        t->end_b = end_b;
        t->rest_angle = rest;
        t->strength = strength;
        a->tensions.add_last(t);
        return t;
    }

    // a hub linked to `spokes` balls around it, tensions rebuilt: the hub's
    // arms each take part in far more tensions than a mesh ball's
    void put_star(float x, float y, int spokes, float reach) {
        ball_ref hub = put_ball(x, y);
        for (int k = 0; k < spokes; ++k) {
            float turn = 6.2831853f * static_cast<float>(k) / static_cast<float>(spokes);
            put_link(hub, put_ball(x + reach * std::cos(turn), y + reach * std::sin(turn)), reach);
        }
        a->build_tensions();
    }

    // joints the plain loops hand to the long way, inside the figure's
    // groups as well: two balls on one spot (an arm of length zero), and
    // every third rest angle six whole turns away
    void put_odd_joints(std::size_t ball, std::size_t onto) {
        a->balls.slot(ball)->x = a->balls.slot(onto)->x;
        a->balls.slot(ball)->y = a->balls.slot(onto)->y;
        for (std::size_t k = 0; k < a->tensions.slot_count(); k += 3) a->tensions.slot(k)->rest_angle += 2160;
    }

    headless_backend screen;
    std::unique_ptr<app> a;
};

}  // namespace flopkin
