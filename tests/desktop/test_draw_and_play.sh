#!/usr/bin/env bash
# A person's session with the mouse: the menu is drawn as laid out, clicks and
# drags build a figure, the steppers change the settings while held, "Play"
# drops the figure to the floor, a grabbed ball follows the pointer and a
# throw sends the figure flying, "Clear All" empties the canvas and "Quit"
# ends the program with status 0.
source "$(dirname "$0")/lib.sh"
flopkin=$1
probe=$2
read_menu_places "$3"
start_xvfb
mkdir -p "$work/run"
cd "$work/run"

start "$flopkin"
program=$last_pid
window=$(wait_window Flopkin)

ask() { "$py" "$here/frame.py" "$1" "$window" "${@:2}"; }
canvas_empty() { [ "$(ask figure | cut -d' ' -f1)" = 0 ]; }
defaults=1000,130,200,300,100

# the first frames show the panel as laid out over an empty canvas
wait_until 10 ask menu "$probe" draw "$defaults"
[ "$(ask figure)" = "0 $canvas_width $frame_height -1 -1" ] || fail "the canvas is not empty at start: $(ask figure)"

# a click on the panel where no button is, between the mode button and Clear
# All, places nothing
mode_box=$(button_box Play)
clear_box=$(button_box "Clear All")
read -r _ mode_top _ mode_height <<<"$mode_box"
read -r _ clear_top _ <<<"$clear_box"
click "$window" $(((canvas_width + frame_width) / 2)) $(((mode_top + mode_height + clear_top) / 2))
sleep 0.3
canvas_empty || fail "a click on the menu placed a ball"

# a click on empty canvas places a ball under the pointer
click "$window" 200 300
wait_until 5 ask disc 200 300 13

# pressing on the ball and dragging shows a white line to the pointer; the
# release on empty canvas places a ball there, linked to the first
press "$window" 200 300
sleep 0.15
xdotool mousemove --window "$window" 300 320
sleep 0.1
xdotool mousemove --window "$window" 400 340
white_at() { [ "$(ask pixel "$1" "$2")" = ffffff ]; }
wait_until 5 white_at 300 320
xdotool mouseup 1
wait_until 5 ask disc 400 340 13 0.5
ask band 200 300 400 340 4 || fail "no link band between the two balls"
ask disc 200 300 13 0.5 || fail "the first ball moved in draw mode"
[ "$(ask pixel 300 320)" != ffffff ] || fail "the drag line stayed after the release"

# holding Gravity "+" raises the shown number until it stops at its limit
press_command "$window" "Gravity +"
wait_until 20 ask label "$probe" Gravity "Gravity= 1000"
xdotool mouseup 1
wait_until 5 ask menu "$probe" draw 1000,130,200,300,1000

# "Play", held for a while, switches once: the panel shows "Draw" and no
# Delete Selected Ball, and the figure falls until it rests on the floor
press_command "$window" Play
sleep 0.5
xdotool mouseup 1
wait_until 5 ask menu "$probe" play 1000,130,200,300,1000
rested() {
  local now before=""
  for _ in 1 2 3; do
    now=$(ask figure)
    [ -z "$before" ] || [ "$now" = "$before" ] || return 1
    before=$now
    sleep 0.2
  done
  read -r count left top right bottom <<<"$now"
  [ "$count" -gt 500 ] && [ "$bottom" -ge 765 ] && [ "$top" -ge 700 ]
}
wait_until 30 rested
read -r count left top right bottom <<<"$(ask figure)"
# both balls lie on the floor, so the link is level at the balls' centres
grab_x=$((left + 13)) grab_y=755
ask disc "$grab_x" "$grab_y" 13 0.5 || fail "no ball resting at the left end of the figure"

# a grabbed ball sits exactly under the pointer while the figure hangs from it
press "$window" "$grab_x" "$grab_y"
sleep 0.2
for y in 700 650 600 550 500 450 400; do
  xdotool mousemove --window "$window" 300 "$y"
  sleep 0.05
done
hangs() {
  read -r count left top right bottom <<<"$(ask figure)"
  [ "$top" -ge 385 ] && [ "$bottom" -gt 450 ]
}
wait_until 10 hangs
wait_until 5 ask disc 300 400 13 0.4

# thrown upwards it flies well above the point of release (the ball's top
# at y 187), which a dropped figure never reaches: one quick stroke, let go
# while the pointer still moves, watched from before it starts
throw=()
for y in 380 360 340 320 300 280 260 240 220 200; do
  throw+=(mousemove --window "$window" 300 "$y" sleep 0.005)
done
start ask above 160 10 >"$work/above"
watcher=$last_pid
wait_until 10 grep -q ready "$work/above"
xdotool "${throw[@]}" mouseup 1
wait "$watcher" || fail "the thrown figure did not rise above y 160: $(cat "$work/above")"

# "Clear All" in play mode empties the canvas and goes back to draw mode
click_command "$window" "Clear All"
wait_until 5 ask menu "$probe" draw 1000,130,200,300,1000
canvas_empty || fail "Clear All left something on the canvas"

# the size row acts on every ball: held "-" shrinks a ball down to radius 1,
# held "+" makes it grow again
click "$window" 400 400
wait_until 5 ask disc 400 400 13
press_command "$window" "Balls Size -"
wait_until 20 ask label "$probe" "Balls Size" "Balls Size= 10"
xdotool mouseup 1
smallest() {
  read -r count left top right bottom <<<"$(ask figure)"
  [ "$count" -gt 0 ] && [ $((right - left)) -le 3 ] && [ $((bottom - top)) -le 3 ]
}
wait_until 5 smallest
wait_until 5 ask menu "$probe" draw 1000,10,200,300,1000
wider_than() {
  read -r count left top right bottom <<<"$(ask figure)"
  [ $((right - left)) -gt "$1" ]
}
press_command "$window" "Balls Size +"
wait_until 10 wider_than 8
xdotool mouseup 1

# "Delete Selected Ball" removes the ball placed last
click_command "$window" "Delete Selected Ball"
wait_until 5 canvas_empty

# "Quit" ends the program at once with status 0
click_command "$window" Quit
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "Quit ended the program with status $exit_status"
echo "draw and play ok"
