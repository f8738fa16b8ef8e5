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
sleep 0.5
"$py" "$here/read_frame.py" "$window" "$work/mask" || fail "the frame read back differs from what was drawn"
hold_key "$window" Escape
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "the probe ended with status $exit_status"
