// The physics with nothing above it: a figure of three balls, a step and a
// drawing on a canvas that counts what it is asked to draw. The program
// exists so that every build links the physics alone; it also prints what
// the step did, which is 0 on success.
#include <cmath>
#include <cstdio>
#include <memory>

#include "physics/constants.hpp"
#include "physics/drawing.hpp"
#include "physics/figure.hpp"
#include "physics/step.hpp"
#include "physics/view.hpp"

namespace {

using namespace flopkin;

int fixed(int min, int) { return min; }

class counting_canvas final : public figure_canvas {
public:
    int shapes = 0;
    void set_color(int, int, int) override {}
    void oval(float, float, float, float) override { ++shapes; }
    void polygon(const float*, int) override { ++shapes; }
};

}  // namespace

int main() {
    figure f;
    ball_ref balls[3];
    for (int i = 0; i < 3; ++i) {
        balls[i] = std::make_shared<ball>(fixed);
        balls[i]->x = balls[i]->old_x = 300.0f + 40.0f * static_cast<float>(i);
        balls[i]->y = balls[i]->old_y = 300.0f;
        f.balls.add_last(balls[i]);
    }
    for (int i = 0; i < 2; ++i) {
        auto l = std::make_shared<flopkin::link>(fixed);
        l->end_a = balls[i];
        l->end_b = balls[i + 1];
        l->rest_length = 40;
        f.links.add_last(l);
    }
    view_fields view;
    begin_step(f, figure_mode::play, 0.1f);
    end_step(f, view, figure_mode::play);
    counting_canvas canvas;
    const int palette[1][3] = {{255, 255, 255}};
    draw_figure(f, view, {palette, 1}, nullptr, canvas);
    bool fell = balls[0]->y > 300.0f && std::isfinite(balls[2]->x);
    std::printf("physics alone: %d shapes drawn, the figure %s\n", canvas.shapes, fell ? "fell" : "did not fall");
    return fell && canvas.shapes == 5 ? 0 : 1;
}
