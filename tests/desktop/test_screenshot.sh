#!/usr/bin/env bash
# --screenshot: the last frame shown, exactly as the X server shows it; a run
# drawn offscreen with no display gives the very same pixels as the same run
# in a window.
source "$(dirname "$0")/lib.sh"
flopkin=$1
read_menu_places "$3"
example=$here/../../examples/stick-figure.fkn
cd "$work"

# offscreen, with no display at all
run_args=(--unpaced --seed 5 --frames 150)
env -u DISPLAY "$flopkin" --headless "${run_args[@]}" --screenshot "$work/offscreen.png" "$example" 2>"$work/err" ||
  fail "the offscreen run failed: $(cat "$work/err")"
env -u DISPLAY "$flopkin" --headless "${run_args[@]}" --screenshot "$work/empty.png" 2>"$work/err" ||
  fail "the offscreen run without a figure failed: $(cat "$work/err")"
"$py" "$here/compare_frames.py" --differ "$work/offscreen.png" "$work/empty.png" ||
  fail "the offscreen picture does not show the figure"

start_xvfb
# the pointer away from the window, so nothing it does can differ
xdotool mousemove 1279 1023
"$flopkin" "${run_args[@]}" --screenshot "$work/window.png" "$example" 2>"$work/err" ||
  fail "the window run failed: $(cat "$work/err")"
"$py" "$here/compare_frames.py" "$work/offscreen.png" "$work/window.png" ||
  fail "offscreen and window frames differ"

# a frame that stays the same (empty canvas, draw mode), read from the X
# server while shown, then the picture written when Escape ends the run
start "$flopkin" --screenshot "$work/shown.png"
program=$last_pid
window=$(wait_window Flopkin)
xdotool mousemove --window "$window" 20 20
sleep 0.5
"$py" "$here/compare_frames.py" --grab "$window" "$frame_width" "$frame_height" "$work/shown.rgb" || fail "cannot read the window"
hold_key "$window" Escape
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "the program ended with status $exit_status"
"$py" "$here/compare_frames.py" "$work/shown.rgb" "$work/shown.png" ||
  fail "the picture differs from the frame the X server showed"
echo "screenshot ok"
