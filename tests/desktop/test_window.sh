#!/usr/bin/env bash
# The program opens one 1024 x 768 window titled "Flopkin"; holding Escape
# ends it with status 0.
source "$(dirname "$0")/lib.sh"
flopkin=$1
start_xvfb

start "$flopkin"
program=$last_pid
window=$(wait_window Flopkin)
geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
[ "$width" = 1024 ] && [ "$height" = 768 ] || fail "client area is ${width}x${height}, not 1024x768"

sleep 0.5
kill -0 "$program" 2>/dev/null || fail "the program ended by itself"
hold_key "$window" Escape
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "Escape ended the program with status $exit_status"
echo "window ok"
