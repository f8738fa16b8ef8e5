#include "app/app.hpp"
#include "files/document_format.hpp"

namespace flopkin {

void write_figure(stream& out, app& owner) {
    out.write_line(document_header);
    for (ball_ref b : owner.balls.all()) {
        out.write_line(ball_marker);
        out.write_int(b->number);
        out.write_float(b->mass);
        out.write_float(b->x);
        out.write_float(b->y);
        out.write_float(b->radius);
        for (int c : b->colour) out.write_int(c);
    }
    for (link_ref l : owner.links.all()) {
        if (!l->end_a || !l->end_b) continue;  // an unset end has no number to write
        out.write_line(link_marker);
        out.write_int(l->end_a->number);
        out.write_int(l->end_b->number);
        out.write_float(l->rest_length);
        out.write_float(l->width);
        for (int c : l->colour) out.write_int(c);
    }
    for (tension_ref t : owner.tensions.all()) {
        if (!t->end_a || !t->vertex || !t->end_b) continue;
        out.write_line(tension_marker);
        out.write_int(t->end_a->number);
        out.write_int(t->vertex->number);
        out.write_int(t->end_b->number);
        out.write_float(t->rest_angle);
        out.write_float(t->strength);
    }
}

}  // namespace flopkin
