#pragma once
// Drives the whole app frame by frame through the headless backend, with the
// left mouse button scripted the way a person uses it.
#include <string>
#include <vector>

#include "app/app.hpp"
#include "app/value_table.hpp"
#include "figure_builder.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"
#include "ui/menu.hpp"

namespace flopkin::testing {

struct harness {
    headless_backend hb;
    app a;

    harness() { use_backend(&hb); }
    ~harness() { use_backend(nullptr); }

    bool frame() { return a.run_frame(); }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    void press_at(int x, int y) {
        hb.move(x, y);
        hb.press(1);
        frame();
    }
    void move_to(int x, int y) {
        hb.move(x, y);
        frame();
    }
    void release_at(int x, int y) {
        hb.move(x, y);
        hb.release(1);
        frame();
    }
    void click(int x, int y) {
        press_at(x, y);
        release_at(x, y);
    }

    // a ball put straight into the figure, its screen place cached as if drawn
    ball_ref add_ball(float x, float y) {
        ball_ref b = put_ball(a.figure, x, y, 1, a.settings.ball_size);
        b->to_screen(a.view);
        return b;
    }
    // the balls as they stand in the list, for index checks
    std::vector<ball_ref> ball_list() {
        std::vector<ball_ref> out;
        for (ball_ref b : a.figure.balls.all()) out.push_back(b);
        return out;
    }
    // links joining the two balls, in either direction
    int links_between(const ball_ref& p, const ball_ref& q) {
        int n = 0;
        for (const auto& l : a.figure.links.all())
            if ((l->end_a == p && l->end_b == q) || (l->end_a == q && l->end_b == p)) ++n;
        return n;
    }
    // text drawn in the last frame, exactly as given
    const draw_record* text(const std::string& s) const {
        for (const auto& r : hb.drawn)
            if (r.kind == draw_record::shape::text && r.text == s) return &r;
        return nullptr;
    }
};

}  // namespace flopkin::testing
