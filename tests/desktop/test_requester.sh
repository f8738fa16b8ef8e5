#!/usr/bin/env bash
# The file requester comes up above the window with the keyboard: a typed path
# is returned as typed, Escape cancels with "", and no key pressed in the
# dialog reaches the program afterwards.
source "$(dirname "$0")/lib.sh"
probe=$2
start_xvfb
docs=$work/docs
mkdir -p "$docs"
: >"$docs/figure.fkn"
: >"$docs/other.txt"

# runs the probe in a mode until its dialog shows; $program, $dialog
open_dialog() {
  start "$probe" "$@" >"$work/answer"
  program=$last_pid
  wait_window "Flopkin probe" >/dev/null
  dialog=$(wait_window "Probe file:")
  wait_focus "$dialog"
  sleep 0.3
}

answer_is() {
  wait_exit "$program" 10
  [ "$exit_status" = 0 ] || fail "the probe ended with status $exit_status"
  grep -qxF "chosen=[$1]" "$work/answer" || fail "expected chosen=[$1], got: $(cat "$work/answer")"
  grep -qx "escape_after=0" "$work/answer" || fail "a key pressed in the dialog reached the program: $(cat "$work/answer")"
}

# open: a typed path to an existing file comes back unchanged
open_dialog open "$docs/"
xdotool type --delay 20 "$docs/figure.fkn"
sleep 0.3
xdotool key Return
answer_is "$docs/figure.fkn"

# open: Escape, held for a while, cancels and is not seen by the program
open_dialog open "$docs/figure.fkn"
xdotool keydown Escape
sleep 0.4
xdotool keyup Escape
answer_is ""

# save: the proposed folder and name come back without an extension added
open_dialog save "$docs/untitled"
xdotool key Return
answer_is "$docs/untitled"

# open: a name that does not exist is not accepted; the dialog stays up
open_dialog open "$docs/"
xdotool type --delay 20 "$docs/missing.fkn"
sleep 0.3
xdotool key Return
sleep 1
kill -0 "$program" 2>/dev/null && [ ! -s "$work/answer" ] || fail "open mode answered for a file that does not exist"
xdotool search --onlyvisible --name '^Probe file:$' >/dev/null || fail "the dialog went away"
for i in 1 2 3; do
  kill -0 "$program" 2>/dev/null || break
  xdotool key Escape
  sleep 0.5
done
answer_is ""

# save: an existing file is returned only after the user confirms
open_dialog save "$docs/figure.fkn"
xdotool key Return
sleep 1
kill -0 "$program" 2>/dev/null && [ ! -s "$work/answer" ] || fail "save mode answered an existing file without asking"
for i in 1 2 3; do
  kill -0 "$program" 2>/dev/null || break
  xdotool key Escape
  sleep 0.5
done
answer_is ""
# save: a path longer than 1023 characters is refused as a cancel, never cut
deep=$docs
for i in 1 2 3 4 5; do deep=$deep/$(printf 'd%.0s' $(seq 220)); done
mkdir -p "$deep"
open_dialog save "$deep/long.fkn"
xdotool key Return
answer_is ""
echo "requester ok"
