#!/usr/bin/env bash
# The file requester comes up above the window with the keyboard: a typed path
# is returned as typed without complaints from GTK, Escape cancels with "",
# and no key pressed in the dialog reaches the program afterwards, not even
# by auto-repeat; the program then knows where the pointer went meanwhile.
source "$(dirname "$0")/lib.sh"
probe=$2
start_xvfb
docs=$work/docs
mkdir -p "$docs"
: >"$docs/figure.fkn"
: >"$docs/other.txt"

# runs the probe in a mode until its dialog shows; $program, $dialog
open_dialog() {
  start "$probe" "$@" >"$work/answer" 2>"$work/errors"
  program=$last_pid
  window=$(wait_window "Flopkin probe")
  dialog=$(wait_window "Probe file:")
  wait_focus "$dialog"
  sleep 0.3
}

answer_is() {
  wait_exit "$program" 10
  [ "$exit_status" = 0 ] || fail "the probe ended with status $exit_status"
  grep -qxF "chosen=[$1]" "$work/answer" || fail "expected chosen=[$1], got: $(cat "$work/answer")"
  grep -qx "escape_after=0" "$work/answer" || fail "a key pressed in the dialog reached the program: $(cat "$work/answer")"
  grep -q "Gtk-CRITICAL" "$work/errors" && fail "GTK complained: $(cat "$work/errors")"
  return 0
}

# Escape until the requester and anything it put up are gone, and no more:
# the program is still watching for Escape
dismiss() {
  for i in 1 2 3; do
    xdotool search --onlyvisible --name '^Probe file:$' >/dev/null 2>&1 || break
    xdotool key Escape
    sleep 0.5
  done
}

# open: a typed path to an existing file comes back unchanged, also when the
# requester starts without a proposed folder
open_dialog open ""
xdotool type --delay 20 "$docs/figure.fkn"
sleep 0.3
xdotool key Return
answer_is "$docs/figure.fkn"

# open: Escape, held past the key-repeat delay, cancels and is not seen by the
# program; the pointer moved meanwhile is where the program finds it
open_dialog open "$docs/figure.fkn"
xdotool mousemove --window "$window" 700 600
sleep 0.2
xdotool keydown Escape
sleep 1
xdotool keyup Escape
answer_is ""
grep -qx "pointer_after=700 600" "$work/answer" || fail "the program has the pointer elsewhere: $(cat "$work/answer")"

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
dismiss
answer_is ""

# save: an existing file is returned only after the user confirms
open_dialog save "$docs/figure.fkn"
xdotool key Return
sleep 1
kill -0 "$program" 2>/dev/null && [ ! -s "$work/answer" ] || fail "save mode answered an existing file without asking"
dismiss
answer_is ""
# save: a path longer than 1023 characters comes back whole, never cut and not
# as a cancel (the save then fails)
deep=$docs
for i in 1 2 3 4 5; do deep=$deep/$(printf 'd%.0s' $(seq 220)); done
mkdir -p "$deep"
open_dialog save "$deep/long.fkn"
xdotool key Return
answer_is "$deep/long.fkn"
echo "requester ok"
