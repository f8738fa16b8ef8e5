#!/usr/bin/env bash
# The program opens one window of the frame's size titled "Flopkin"; holding
# Escape ends it with status 0.
source "$(dirname "$0")/lib.sh"
flopkin=$1
read_menu_places "$3"
start_xvfb

start "$flopkin"
program=$last_pid
window=$(wait_window Flopkin)
geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
[ "$width" = "$frame_width" ] && [ "$height" = "$frame_height" ] ||
  fail "client area is ${width}x${height}, not ${frame_width}x${frame_height}"

sleep 0.5
kill -0 "$program" 2>/dev/null || fail "the program ended by itself"
hold_key "$window" Escape
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "Escape ended the program with status $exit_status"
echo "window ok"
