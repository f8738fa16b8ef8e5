#include "platform/termination.hpp"

#include <signal.h>

namespace flopkin {

namespace {

// the signals a desktop ends programs by: a session logging out (SIGTERM),
// Ctrl+C in the terminal (SIGINT), the terminal closing (SIGHUP)
constexpr int ending_signals[] = {SIGTERM, SIGINT, SIGHUP};

volatile sig_atomic_t terminate_signalled = 0;

void on_terminate(int signal) { terminate_signalled = signal; }

}  // namespace

void catch_terminate_signal() {
    struct sigaction action = {};
    action.sa_handler = on_terminate;
    sigemptyset(&action.sa_mask);
    // interrupted reads and writes carry on; the loop sees the request at the frame's end
    action.sa_flags = SA_RESTART;
    for (int signal : ending_signals) sigaction(signal, &action, nullptr);
}

bool terminate_requested() { return terminate_signalled != 0; }

void end_by_terminate_request() {
    if (!terminate_requested()) return;
    int signal = terminate_signalled;
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace flopkin
