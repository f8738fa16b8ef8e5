#include "platform/sdl/connection_loss.hpp"

#include <X11/Xlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace flopkin {

namespace {

recovery_store* watched = nullptr;
XIOErrorHandler replaced = nullptr;

// Xlib calls this in the middle of the X call that met the loss, perhaps
// half-way through an edit of the figure on the same thread: only the
// capture already handed over is complete, so that is what is written.
int on_connection_lost(Display* display) {
    // the last change may be newer than the figure kept: say when it was kept
    std::string why;
    struct stat kept {};
    if (watched && watched->settle(why) && ::stat(watched->place().c_str(), &kept) == 0)
        std::fprintf(stderr, "flopkin: the unsaved figure as it was at %s is kept in \"%s\"\n",
                     clock_time(kept.st_mtime).c_str(), watched->place().c_str());
    if (replaced) return replaced(display);
    std::exit(1);
}

}  // namespace

void keep_figure_on_connection_loss(recovery_store* store) {
    watched = store;
    XIOErrorHandler previous = XSetIOErrorHandler(on_connection_lost);
    if (previous != on_connection_lost) replaced = previous;
}

}  // namespace flopkin
