// Empty places of the frame until the physics lands.
#include "app/app.hpp"

namespace flopkin {
void app::fit_view() {}
void app::zoom_step(int) {}
void app::simulation_step() {}
void app::relax_links() {}
void app::relax_tensions(int) {}
link_shift app::link_correction(const ball&, const ball&, float) const { return {0, 0, 0, 0}; }
void app::draw_figure() {}
void app::draw_grid() {}
void app::delete_ball(ball_ref ball) { if (ball) balls.remove(ball.get()); }
void app::clear_all() { balls.clear(); links.clear(); tensions.clear(); }
float wrap_360(float a) { return a; }
float wrap_180(float a) { return a; }
void ball::draw() {}
void ball::keep_in_view() {}
void ball::update_velocity() {}
void link::draw() {}
void tension::apply(int) {}
}  // namespace flopkin
