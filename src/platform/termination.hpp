#pragma once
// A signal that ends the program (SIGTERM: a session logging out or a
// service stopping it; SIGINT: Ctrl+C; SIGHUP: its terminal closed) as a
// request the frame loop reads, so that the program ends in order instead of
// at once, keeping the unsaved figure.
namespace flopkin {

// from now on any of those signals only sets the request
void catch_terminate_signal();
// one of them arrived since catch_terminate_signal
bool terminate_requested();
// when one did, ends the process by that same signal now that all is in
// order, so that whoever sent it sees the program ended by it; otherwise returns
void end_by_terminate_request();

}  // namespace flopkin
