// The physics' and the editing's operations as the app runs them: the app's
// figure, view and settings handed to them, which see nothing else.
#include "app/app.hpp"
#include "editing/figure_editing.hpp"
#include "physics/drawing.hpp"
#include "physics/step.hpp"
#include "platform/graphics.hpp"

namespace flopkin {

namespace {

// the figure drawn on the window
class window_canvas final : public figure_canvas {
public:
    void set_color(int red, int green, int blue) override { flopkin::set_color(red, green, blue); }
    void oval(float x, float y, float width, float height) override { draw_oval(x, y, width, height); }
    void polygon(const float* corners, int count) override { draw_poly(corners, count); }
};

}  // namespace

void app::fit_view() { flopkin::fit_view(view); }

void app::zoom_step(int direction) { flopkin::zoom_step(view, figure, direction); }

// play-mode dragging goes between the advance and the walls
void app::simulation_step() {
    begin_step(figure, mode, settings.gravity);
    if (mode == figure_mode::play) drag_step();
    end_step(figure, view, mode, {loop.collide, editing.dragged.get()});
}

void app::relax_links() { flopkin::relax_links(figure); }

void app::relax_tensions(bool in_draw_mode) { flopkin::relax_tensions(figure, in_draw_mode); }

void app::draw_figure() {
    window_canvas canvas;
    flopkin::draw_figure(figure, view, {palette.colour, palette.size}, editing.selected.get(), canvas);
}

void app::place_ball_step() {
    flopkin::place_ball_step(figure, view, editing, settings.ball_size, [this] { before_edit(); });
}

void app::link_step() { flopkin::link_step(figure, view, editing, settings.link_width, [this] { before_edit(); }); }

void app::drag_step() { flopkin::drag_step(figure, view, editing); }

void app::build_tensions() { flopkin::build_tensions(figure, settings.angle_force); }

void app::label_figures() { flopkin::label_figures(figure); }

void app::number_balls() { flopkin::number_balls(figure); }

// A ball leaves the figure together with every link and tension that uses
// it, so the lists never name a ball that is not in them.
void app::delete_ball(ball_ref gone) { figure.remove(gone); }

void app::clear_all() { figure.clear(); }

}  // namespace flopkin
