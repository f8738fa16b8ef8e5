#!/usr/bin/env bash
# What is drawn lands on exactly the pixels it names: lines with their last
# pixel, filled rectangles, ovals, polygons and masked text, read back from
# the X server.
source "$(dirname "$0")/lib.sh"
probe=$2
start_xvfb

start "$probe" shapes >"$work/mask"
program=$last_pid
window=$(wait_window "Flopkin probe")
# the first frames may take a while on a loaded machine
wait_until 10 "$py" "$here/read_frame.py" "$window" "$work/mask"
hold_key "$window" Escape
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "the probe ended with status $exit_status"
