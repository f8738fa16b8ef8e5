#pragma once
// A terminate signal (a session logging out, a service stopping the program)
// as a request the frame loop reads, so that the program ends in order
// instead of at once.
namespace flopkin {

// from now on a terminate signal only sets the request
void catch_terminate_signal();
// a terminate signal arrived since catch_terminate_signal
bool terminate_requested();
// when one did, ends the process by that signal now that all is in order, so
// that whoever sent it sees the program ended by it; otherwise returns
void end_by_terminate_request();

}  // namespace flopkin
