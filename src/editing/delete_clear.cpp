#include "app/app.hpp"

namespace flopkin {

// A ball leaves the figure together with every link and tension that uses
// it, so the lists never name a ball that is not in them.
void app::delete_ball(ball_ref gone) { figure.remove(gone); }

void app::clear_all() { figure.clear(); }

}  // namespace flopkin
