#include "platform/termination.hpp"

#include <signal.h>

namespace flopkin {

namespace {

volatile sig_atomic_t terminate_signalled = 0;

void on_terminate(int) { terminate_signalled = 1; }

}  // namespace

void catch_terminate_signal() {
    struct sigaction action = {};
    action.sa_handler = on_terminate;
    sigemptyset(&action.sa_mask);
    // interrupted reads and writes carry on; the loop sees the request at the frame's end
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
}

bool terminate_requested() { return terminate_signalled != 0; }

void end_by_terminate_request() {
    if (!terminate_requested()) return;
    ::signal(SIGTERM, SIG_DFL);
    ::raise(SIGTERM);
}

}  // namespace flopkin
