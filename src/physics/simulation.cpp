#include <limits>

#include "physics/constants.hpp"
#include "physics/each.hpp"
#include "physics/figure.hpp"
#include "physics/relaxation.hpp"
#include "physics/step.hpp"
#include "physics/view.hpp"

namespace flopkin {

void gather_figure(figure& f) {
    if (f.relax->gather(f)) return;
    f.remove_beyond(std::numeric_limits<float>::max());
    f.relax->gather(f);
}

void begin_step(figure& f, figure_mode mode, float gravity) {
    for_each_listed(f.balls, [&](ball& b) {
        b.vy += gravity;
        b.old_x = b.x;
        b.old_y = b.y;
    });
    if (mode == figure_mode::play)
        for_each_listed(f.balls, [](ball& b) {
            b.x += b.vx;
            b.y += b.vy;
        });
}

void end_step(figure& f, const view_fields& v, figure_mode mode, const contact_rule& contacts) {
    for_each_listed(f.balls, [&](ball& b) { b.keep_in_view(v); });
    f.relax->use_contacts(mode == figure_mode::play && contacts.collide, contacts.held);
    gather_figure(f);
    f.relax->relax(mode == figure_mode::draw, relaxation_passes);
    f.relax->write_back();
    for_each_listed(f.balls, [](ball& b) {
        if (b.wall_hit == 0) b.update_velocity();
    });
}

void relax_links(figure& f) {
    gather_figure(f);
    f.relax->link_pass();
    f.relax->write_back();
}

void relax_tensions(figure& f, bool in_draw_mode) {
    gather_figure(f);
    f.relax->tension_pass(in_draw_mode);
    f.relax->write_back();
}

}  // namespace flopkin
