#!/usr/bin/env bash
# The window asks the window manager for no close function, keeping move and
# minimize; a request to close it is ignored all the same; a terminate signal
# still ends the program.
source "$(dirname "$0")/lib.sh"
flopkin=$1
start_xvfb

start "$flopkin"
program=$last_pid
window=$(wait_window Flopkin)
hints=$(xprop -id "$window" _MOTIF_WM_HINTS)
[[ $hints == *=* ]] || fail "the window has no window-manager hints"
read -r flags functions _ <<<"$(sed 's/^.*= //; s/,/ /g' <<<"$hints")"
(( flags & 1 )) || fail "the window asks for no particular functions: $hints"
# with bit 0 set, the functions named are the ones taken away
offered() { [ $(( functions & 1 )) != $(( functions & $1 ? 1 : 0 )) ]; }
offered 32 && fail "the window offers to close: $hints"
offered 4 && offered 8 || fail "the window cannot be moved or minimized: $hints"
"$py" "$here/send_close.py" "$window"
"$py" "$here/send_close.py" "$window"
sleep 1.5
kill -0 "$program" 2>/dev/null || fail "a close request ended the program"
xdotool search --name '^Flopkin$' >/dev/null || fail "the window went away after a close request"

kill -TERM "$program"
wait_exit "$program" 5
[ "$exit_status" != 0 ] || fail "SIGTERM should end the program by the signal, got status 0"
echo "close request ignored, SIGTERM ends it (status $exit_status)"
