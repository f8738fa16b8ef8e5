#include "app/app.hpp"
#include "physics/each.hpp"
#include "physics/joint.hpp"
#include "physics/stretch.hpp"

namespace flopkin {

namespace {

// A ball whose position is no longer finite would spread NaN through every
// constraint it takes part in within the frame's passes; it is removed before
// the relaxation rather than at the next frame's far-ball check.
void gather_figure(app& a) {
    if (!a.relax.gather(a)) {
        a.drop_lost_balls();
        a.relax.gather(a);
    }
}

}  // namespace

void app::simulation_step() {
    for_each_listed(balls, [&](ball& b) {
        b.vy += gravity;
        b.old_x = b.x;
        b.old_y = b.y;
    });
    if (mode == -1) {
        for_each_listed(balls, [](ball& b) {
            b.x += b.vx;
            b.y += b.vy;
        });
        drag_step();
    }
    for_each_listed(balls, [](ball& b) { b.keep_in_view(); });
    gather_figure(*this);
    const int draw_mode = mode == 1 ? 1 : 0;
    relax.relax(draw_mode, relaxation_passes);
    relax.write_back();
    for_each_listed(balls, [](ball& b) {
        if (b.wall_hit == 0) b.update_velocity();
    });
}

void app::relax_links() {
    gather_figure(*this);
    relax.link_pass();
    relax.write_back();
}

void app::relax_tensions(int draw_mode) {
    gather_figure(*this);
    relax.tension_pass(draw_mode);
    relax.write_back();
}

link_shift app::link_correction(const ball& a, const ball& b, float rest) const {
    link_parts parts = parts_of_link(usable_mass(a.mass), usable_mass(b.mass));
    return push_of_link(b.x - a.x, b.y - a.y, rest, parts.a, parts.b);
}

void tension::apply(int draw_mode) {
    float dx1 = vertex->x - end_a->x, dy1 = vertex->y - end_a->y;
    float dx2 = end_b->x - vertex->x, dy2 = end_b->y - vertex->y;
    joint_push p = push_of_tension(dx1, dy1, dx2, dy2, rest_angle, strength + 10000.0f * static_cast<float>(draw_mode));
    end_a->shift_x += p.ax;
    end_a->shift_y += p.ay;
    vertex->shift_x += -p.ax - p.bx;
    vertex->shift_y += -p.ay - p.by;
    end_b->shift_x += p.bx;
    end_b->shift_y += p.by;
}

}  // namespace flopkin
