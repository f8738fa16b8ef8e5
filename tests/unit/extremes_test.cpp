// Every setting at its highest and at its lowest, the zoom held at either
// end, a large figure thrown about at high speed: frame after frame nothing
// may crash, no value may stop being a number and no ball may be lost.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "../session/invariants.hpp"
#include "sample_figures.hpp"
#include "platform/graphics.hpp"
#include "platform/headless/headless_backend.hpp"

namespace flopkin {

namespace {

struct settings_at {
    const char* name;
    float ball_size, link_width, gravity, angle_force;
};
constexpr settings_at highest{"highest", ball_size_range.highest, link_width_range.highest, gravity_range.highest,
                              angle_force_range.highest};
constexpr settings_at lowest{"lowest", ball_size_range.lowest, link_width_range.lowest, gravity_range.lowest,
                             angle_force_range.lowest};

class Extremes : public ::testing::Test {
protected:
    void SetUp() override {
        use_backend(&hb);
        std::string why;
        ASSERT_TRUE(open_graphics(frame_width, frame_height, 0, frames_per_second, why));
        unpace_frames();
    }
    void TearDown() override { use_backend(nullptr); }

    void set(app& a, const settings_at& s) {
        a.settings.ball_size = s.ball_size;
        a.settings.link_width = s.link_width;
        a.settings.gravity = s.gravity;
        a.settings.angle_force = s.angle_force;
    }

    // Runs the frames with the zoom stepper held one way, throwing every ball
    // now and then and switching modes half-way; "" or what went wrong.
    std::string run(app& a, int frames, int zoom_direction, bool throws = true) {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> speed(-5000, 5000);
        std::size_t balls = a.figure.balls.count();
        for (int frame = 1; frame <= frames; ++frame) {
            if (throws && frame % 250 == 0)
                for (ball_ref b : a.figure.balls.all()) {
                    b->x += speed(random);
                    b->y += speed(random);
                }
            if (frame == frames / 2) a.mode = other_mode(a.mode);
            a.zoom_step(zoom_direction);
            a.run_frame();
            std::string at = " at frame " + std::to_string(frame);
            std::string broken = broken_invariant(a);
            if (!broken.empty()) return broken + at;
            for (ball_ref b : a.figure.balls.all())
                if (!std::isfinite(b->vx) || !std::isfinite(b->vy) || !std::isfinite(b->old_x) ||
                    !std::isfinite(b->old_y))
                    return "a velocity is not finite" + at;
            if (a.figure.balls.count() != balls) return "balls were lost" + at;
        }
        return "";
    }

    headless_backend hb{false};
};

}  // namespace

TEST_F(Extremes, ALargeFigureAtEverySettingsLimitStaysSound) {
    for (const settings_at& s : {highest, lowest}) {
        for (int direction : {0, 1}) {
            app a;
            set(a, s);
            add_mesh(a.figure, 10, 8, 100, 100, {a.settings.ball_size, a.settings.link_width, a.settings.angle_force});
            add_crowd(a.figure, 12, 6, 100, 400, {a.settings.ball_size, a.settings.link_width, a.settings.angle_force});
            a.build_tensions();
            a.label_figures();
            EXPECT_EQ(run(a, 2500, direction), "") << s.name << " settings, zoom held " << (direction ? "in" : "out");
            if (direction == 0) {
                EXPECT_NEAR(a.view.zoom, 1.0f / 7, 1e-4f) << s.name;
            }
        }
    }
}

TEST_F(Extremes, HoldingZoomInOnASmallFigureReachesTheCeiling) {
    app a;
    set(a, lowest);
    add_mesh(a.figure, 1, 1, 300, 300,
             {a.settings.ball_size, a.settings.link_width,
              a.settings.angle_force});  // one ball, thrown only by the walls closing in
    EXPECT_EQ(run(a, 2000, 1, false), "");
    EXPECT_EQ(a.view.zoom, 100.0f);
}

}  // namespace flopkin
