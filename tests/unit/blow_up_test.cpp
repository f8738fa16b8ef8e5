// A figure that its own constraints fling apart within one frame (here a
// vertex with many arms whose tensions, as a document may hold them, all want
// a zero angle, in play mode) leaves nothing that is not a number: not in the figure after
// the frame, and not in what the frame drew.
#include <cmath>

#include "physics_fixture.hpp"

namespace flopkin {

using BlowUp = app_figure_test;

TEST_F(BlowUp, NothingThatIsNotANumberIsDrawnOrKept) {
    std::string why;
    ASSERT_TRUE(open_graphics(frame_width, frame_height, 0, frames_per_second, why));
    a->mode = figure_mode::play;
    ball_ref vertex = put_ball(390, 384);
    std::vector<ball_ref> arms;
    for (int i = 0; i < 64; ++i) {
        double turn = 6.283185307179586 * i / 64;
        arms.push_back(put_ball(390 + 100 * static_cast<float>(std::cos(turn)), 384 + 100 * static_cast<float>(std::sin(turn))));
        put_link(vertex, arms.back(), 100);
    }
    for (std::size_t i = 0; i < arms.size(); ++i)
        for (std::size_t j = i + 1; j < arms.size(); ++j) put_tension(arms[i], vertex, arms[j], 0, 3000);
    ball_ref apart = put_ball(100, 100);  // not part of the star

    for (int frame = 0; frame < 10; ++frame) {
        screen.forget_drawing();
        a->run_frame();
        for (ball_ref b : a->figure.balls.all()) {
            EXPECT_TRUE(std::isfinite(b->x) && std::isfinite(b->y)) << "frame " << frame;
            EXPECT_TRUE(std::isfinite(b->screen_x) && std::isfinite(b->screen_y)) << "frame " << frame;
        }
        for (const draw_record& r : screen.drawn)
            for (float v : r.values) ASSERT_TRUE(std::isfinite(v)) << "frame " << frame << ": drawn at a point that is not a number";
    }
    // the star is gone with its links and tensions; the lone ball stays
    EXPECT_EQ(a->figure.balls.count(), 1u);
    EXPECT_EQ(a->figure.balls.slot(0), apart);
    EXPECT_TRUE(a->figure.links.is_empty());
    EXPECT_TRUE(a->figure.tensions.is_empty());
}

}  // namespace flopkin
