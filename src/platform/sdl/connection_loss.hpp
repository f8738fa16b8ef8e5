#pragma once
// The X server going away (an X11 logout usually ends programs this way).
#include "platform/recovery/recovery_store.hpp"

namespace flopkin {

// From now on a lost connection first lets `store` finish keeping the figure
// last handed to it, then ends the program as before (status 1). Xlib has
// one handler for the process and GTK installs its own when it starts, so
// this is asked again after that; asking twice changes nothing.
void keep_figure_on_connection_loss(recovery_store* store);

}  // namespace flopkin
