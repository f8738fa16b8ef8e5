#include "app/app.hpp"

namespace flopkin {

// A ball leaves the figure together with every link and tension that uses
// it, so the lists never name a ball that is not in them.
void app::delete_ball(ball_ref gone) {
    if (!gone) return;
    balls.remove(gone.get());
    for (link_ref l : links.all())
        if (l->end_a == gone || l->end_b == gone) links.remove(l.get());
    for (tension_ref t : tensions.all())
        if (t->end_a == gone || t->vertex == gone || t->end_b == gone) tensions.remove(t.get());
}

void app::clear_all() {
    balls.clear();
    links.clear();
    tensions.clear();
}

}  // namespace flopkin
