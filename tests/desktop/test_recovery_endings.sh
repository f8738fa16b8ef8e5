#!/usr/bin/env bash
# Every way a desktop ends a program keeps the figure drawn, each run in a
# file of its own: SIGTERM (a session logging out), SIGINT, SIGHUP, SIGTERM
# with the requester up, kill -9 some seconds after the last change, and the
# X server going away. The signals still end the program by themselves.
source "$(dirname "$0")/lib.sh"
flopkin=$1
read_menu_places "$3"
start_xvfb
mkdir -p "$work/run"
cd "$work/run"

# starts the program and places one ball at x, y
draw_one() {
  start "$flopkin" 2>"$work/err"
  program=$last_pid
  window=$(wait_window Flopkin)
  click "$window" "$1" "$2"
  wait_until 5 "$py" "$here/frame.py" disc "$window" "$1" "$2" 13
}
ended_by() {
  wait_exit "$program" "${3:-10}"
  [ "$exit_status" = "$1" ] || fail "$2 ended the program with status $exit_status: $(cat "$work/err")"
}
holds_ball() { "$py" "$here/check_document.py" "$1" "$2" "" "" || fail "$3 did not keep the figure in '$1'"; }

for signal in TERM:143 INT:130 HUP:129; do
  draw_one 300 200
  kill -"${signal%:*}" "$program"
  ended_by "${signal#*:}" "SIG${signal%:*}"
  holds_ball "$(kept_file)" 300,200 "SIG${signal%:*}"
done

# a signal while the requester is up closes it first
draw_one 250 250
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key ctrl+o
wait_window "Open file:" >/dev/null
kill -TERM "$program"
ended_by 143 "SIGTERM with the requester up" 2
holds_ball "$(kept_file)" 250,250 "SIGTERM with the requester up"

# kill -9 and a lost X server leave the file written in the background a
# second after the change: each waits until it holds the ball
newest() { ls -t "$recovery_folder"/*.fkn | head -n1; }
kept_in_background() { "$py" "$here/check_document.py" "$(newest)" "$1" "" ""; }
draw_one 350 150
wait_until 5 kept_in_background 350,150
kill -KILL "$program"
ended_by 137 "kill -9"
holds_ball "$(newest)" 350,150 "kill -9"

draw_one 150 350
wait_until 5 kept_in_background 150,350
kill "${pids[0]}"
ended_by 1 "the X server going away"
holds_ball "$(newest)" 150,350 "the X server going away"
grep -qE '^flopkin: the unsaved figure as it was at [0-9]{2}:[0-9]{2}:[0-9]{2} is kept in ' "$work/err" ||
  fail "the lost X server did not say when the figure was kept: $(cat "$work/err")"
echo "the figure kept on SIGTERM, SIGINT, SIGHUP, SIGTERM over the requester, kill -9 and a lost X server"
