// The physics' operations as the app runs them: the app's figure, view and
// settings handed to the physics, which sees nothing else.
#include "app/app.hpp"
#include "physics/drawing.hpp"
#include "physics/step.hpp"

namespace flopkin {

void app::fit_view() { flopkin::fit_view(*this); }

void app::zoom_step(int direction) { flopkin::zoom_step(*this, figure, direction); }

// play-mode dragging goes between the advance and the walls
void app::simulation_step() {
    begin_step(figure, mode, gravity);
    if (mode == -1) drag_step();
    end_step(figure, *this, mode);
}

void app::relax_links() { flopkin::relax_links(figure); }

void app::relax_tensions(int draw_mode) { flopkin::relax_tensions(figure, draw_mode); }

void app::draw_figure() { flopkin::draw_figure(figure, *this, {palette, palette_size}, selected.get()); }

}  // namespace flopkin
