#!/usr/bin/env bash
# Ctrl+Z and Ctrl+Y in the real window take the figure back and forth; a
# figure left unsaved is kept in the state folder when Escape or a terminate
# signal ends the program.
source "$(dirname "$0")/lib.sh"
flopkin=$1
start_xvfb
mkdir -p "$work/run"
cd "$work/run"

start "$flopkin" 2>"$work/err"
program=$last_pid
window=$(wait_window Flopkin)
ask() { "$py" "$here/frame.py" "$1" "$window" "${@:2}"; }
canvas_empty() { [ "$(ask figure | cut -d' ' -f1)" = 0 ]; }
only_first() { ask disc 200 300 13 && ! ask disc 400 300 13; }
both() { ask disc 200 300 13 && ask disc 400 300 13; }

click "$window" 200 300
wait_until 5 ask disc 200 300 13
click "$window" 400 300
wait_until 5 both
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
wait_focus "$window"
xdotool key ctrl+z
wait_until 5 only_first
xdotool key ctrl+z
wait_until 5 canvas_empty
xdotool key ctrl+y
wait_until 5 only_first
xdotool key ctrl+y
wait_until 5 both

xdotool key Escape
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "Escape ended the program with status $exit_status"
kept=$(kept_file)
case $kept in "$recovery_folder"/*.fkn) ;; *) fail "no line naming a file in $recovery_folder: $(cat "$work/err")" ;; esac
"$py" "$here/check_document.py" "$kept" "200,300 400,300" "" "" || fail "the kept figure is not the one drawn"

# a session that logs out: the frame loop ends in order, the figure is kept,
# and the program still ends by the signal
start "$flopkin" 2>"$work/err"
program=$last_pid
window=$(wait_window Flopkin)
click "$window" 300 200
wait_until 5 ask disc 300 200 13
kill -TERM "$program"
wait_exit "$program" 10
[ "$exit_status" = 143 ] || fail "SIGTERM ended the program with status $exit_status"
grep -qxF "flopkin: an unsaved figure of an earlier run is kept in \"$kept\"" "$work/err" ||
  fail "the earlier run's file was not named at start-up: $(cat "$work/err")"
kept=$(kept_file)
"$py" "$here/check_document.py" "$kept" "300,200" "" "" || fail "the figure was not kept on SIGTERM: $(cat "$work/err")"
echo "undo and redo in the window, the figure kept after Escape and SIGTERM"
