#!/usr/bin/env bash
# The pointer is reported in client pixels; while the left button is held the
# window keeps it, so positions outside the window (negative ones too) and a
# release outside arrive; once released, moves outside no longer do.
source "$(dirname "$0")/lib.sh"
probe=$2
start_xvfb

start "$probe" pointer >"$work/pointer"
program=$last_pid
window=$(wait_window "Flopkin probe")
geometry=$(xwininfo -id "$window")
left=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")
top=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
# somewhere outside the window: above and left of it when there is room
if [ "$left" -ge 60 ] && [ "$top" -ge 60 ]; then out_x=-50 out_y=-40; else out_x=$((width + 40)) out_y=$((height + 30)); fi

has() { grep -qx -- "$1" "$work/pointer"; }
# each step waits until a frame has reported it, however slow the frames are
step() {
  local seen=$1
  shift
  xdotool "$@"
  for _ in $(seq 100); do
    has "$seen" && return 0
    sleep 0.1
  done
  fail "expected '$seen' among: $(tr '\n' '|' <"$work/pointer")"
}
step "100 120 0" mousemove $((left + 100)) $((top + 120))
step "100 120 1" mousedown 1
step "$out_x $out_y 1" mousemove $((left + out_x)) $((top + out_y))
step "$out_x $out_y 0" mouseup 1
xdotool mousemove $((left + out_x + 7)) $((top + out_y + 7))
sleep 0.5
kill "$program"

! grep -qx -- "$((out_x + 7)) $((out_y + 7)) [01]" "$work/pointer" || fail "a move outside reached the window with no button held"
echo "pointer ok"
