#!/usr/bin/env bash
# Shapes come out in the order they are drawn, whatever kind each is: fills
# over lines and lines over fills, a line over the end pixel of a line of
# another colour, a fill over text; read back from the X server.
source "$(dirname "$0")/lib.sh"
probe=$2
start_xvfb

start "$probe" order
program=$last_pid
window=$(wait_window "Flopkin probe")
# the first frames may take a while on a loaded machine
wait_until 10 "$py" "$here/read_order.py" "$window"
hold_key "$window" Escape
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "the probe ended with status $exit_status"
