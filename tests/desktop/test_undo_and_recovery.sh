#!/usr/bin/env bash
# Ctrl+Z and Ctrl+Y in the real window take the figure back and forth, on
# any keyboard layout, the keypad's Delete deletes and its decimal point
# steps a paused figure; a figure left unsaved is kept in the state folder
# when Escape ends the program, and the next run does not write over it.
source "$(dirname "$0")/lib.sh"
flopkin=$1
read_menu_places "$3"
start_xvfb
need setxkbmap
mkdir -p "$work/run"
cd "$work/run"

start "$flopkin" 2>"$work/err"
program=$last_pid
window=$(wait_window Flopkin)
ask() { "$py" "$here/frame.py" "$1" "$window" "${@:2}"; }
canvas_empty() { [ "$(ask figure | cut -d' ' -f1)" = 0 ]; }
only_first() { ask disc 200 300 13 && ! ask disc 400 300 13; }
both() { ask all "disc 200 300 13" "disc 400 300 13"; }

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
# the keypad's Delete (Num Lock off) deletes the selected ball; on a layout
# that is not Latin, Ctrl and the key that is Z on the US layout undo; on a
# French one Ctrl+Z undoes where Z is, and Ctrl+Y redoes
xdotool key KP_Delete
wait_until 5 only_first
setxkbmap -layout ru
sleep 0.5
xdotool key ctrl+Cyrillic_ya
wait_until 5 both
setxkbmap -layout fr
sleep 0.5
xdotool key ctrl+z
wait_until 5 only_first
xdotool key ctrl+y
wait_until 5 both
setxkbmap -layout us

# Num Lock turns the keypad's Delete into its decimal point, which runs one
# step while paused, as "." does; Ctrl+Z then takes the figure back to where
# it stood at Play
xdotool key space p
paused=$(ask figure)
sleep 0.5
[ "$(ask figure)" = "$paused" ] || fail "the balls moved while paused"
xdotool key Num_Lock
stepped() {
  xdotool key KP_Decimal
  [ "$(ask figure)" != "$paused" ]
}
wait_until 10 stepped
xdotool key Num_Lock ctrl+z
wait_until 5 both

xdotool key Escape
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "Escape ended the program with status $exit_status"
kept=$(kept_file)
case $kept in "$recovery_folder"/*.fkn) ;; *) fail "no line naming a file in $recovery_folder: $(cat "$work/err")" ;; esac
"$py" "$here/check_document.py" "$kept" "200,300 400,300" "" "" || fail "the kept figure is not the one drawn"

# a run that only watches a figure names the earlier file, in the canvas
# until a key is pressed, keeps nothing of its own and leaves that file
# alone; R opens it with no document name, so Save asks for one
cp "$here/../../examples/stick-figure.fkn" .
start "$flopkin" stick-figure.fkn 2>"$work/err"
program=$last_pid
window=$(wait_window Flopkin)
grep -qxF "flopkin: an unsaved figure of an earlier run is kept in \"$kept\"" "$work/err" ||
  fail "the earlier run's file was not named at start-up: $(cat "$work/err")"
wait_until 5 ask notice || fail "no notice in the canvas: $(ask notice)"
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
wait_focus "$window"
xdotool key shift
wait_until 5 bash -c "! $(printf %q "$py") $(printf %q "$here/frame.py") notice $window" ||
  fail "the notice stayed after a key"
xdotool key r
sleep 0.5
xdotool key ctrl+s
wait_focus "$(wait_window "Save as:")"
xdotool key Escape
wait_until 10 bash -c '! xdotool search --onlyvisible --name "^Save as:\$"'
hold_key "$window" Escape
wait_exit "$program" 10
[ "$(ls "$recovery_folder")" = "$(basename "$kept")" ] || fail "files after a run that changed nothing: $(ls "$recovery_folder")"
[ "$(wc -l <"$work/err")" = 1 ] || fail "a run that changed nothing said more than the earlier file: $(cat "$work/err")"
"$py" "$here/check_document.py" "$kept" "200,300 400,300" "" "" || fail "a later run changed the kept figure"
echo "undo and redo in the window on any layout; the figure kept after Escape, and not overwritten by the next run"
