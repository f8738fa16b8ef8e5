#!/usr/bin/env bash
# The keypad's Delete (Num Lock off) deletes the selected ball, and Ctrl
# shortcuts work while a layout that is not Latin is active: Ctrl and the key
# that is Z on the US layout undo, whatever letter the layout puts there.
source "$(dirname "$0")/lib.sh"
flopkin=$1
start_xvfb
need setxkbmap
mkdir -p "$work/run"
cd "$work/run"

start "$flopkin" 2>"$work/err"
program=$last_pid
window=$(wait_window Flopkin)
ask() { "$py" "$here/frame.py" "$1" "$window" "${@:2}"; }
only_first() { ask disc 200 300 13 && ! ask disc 400 300 13; }
both() { ask disc 200 300 13 && ask disc 400 300 13; }

click "$window" 200 300
wait_until 5 ask disc 200 300 13
click "$window" 400 300
wait_until 5 both
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
wait_focus "$window"
xdotool key KP_Delete
wait_until 5 only_first

setxkbmap -layout ru
sleep 0.5
xdotool key ctrl+Cyrillic_ya
wait_until 5 both
setxkbmap -layout us
xdotool key Escape
wait_exit "$program" 10
echo "keypad Delete, and Ctrl+Z on a Russian layout"
