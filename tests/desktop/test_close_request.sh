#!/usr/bin/env bash
# A request to close the window is ignored; a terminate signal still ends the
# program.
source "$(dirname "$0")/lib.sh"
flopkin=$1
start_xvfb

start "$flopkin"
program=$last_pid
window=$(wait_window Flopkin)
"$py" "$here/send_close.py" "$window"
"$py" "$here/send_close.py" "$window"
sleep 1.5
kill -0 "$program" 2>/dev/null || fail "a close request ended the program"
xdotool search --name '^Flopkin$' >/dev/null || fail "the window went away after a close request"

kill -TERM "$program"
wait_exit "$program" 5
[ "$exit_status" != 0 ] || fail "SIGTERM should end the program by the signal, got status 0"
echo "close request ignored, SIGTERM ends it (status $exit_status)"
