#!/usr/bin/env bash
# Documents through the real requester, as a person would: a figure drawn with
# the mouse is saved with "Save as" under a typed path and the file holds it
# byte for byte; Escape in the "Open file:" requester cancels without touching
# the figure or the document and without ending the program; "Save" writes
# back to the same file; a fresh run opens the file and draws the figure where
# it was drawn; the default document loads at start-up, "Add" puts another
# beside the figure, and the first "Save" of a figure without a file asks.
source "$(dirname "$0")/lib.sh"
flopkin=$1
probe=$2
read_menu_places "$3"
start_xvfb
docs=$work/docs
mkdir -p "$docs" "$work/first" "$work/second"
document="$docs/three balls.fkn"

ask() { "$py" "$here/frame.py" "$1" "$window" "${@:2}"; }
canvas_empty() { [ "$(ask figure | cut -d' ' -f1)" = 0 ]; }
figure_shown() {
  ask all "disc 150 200 13 0.5" "disc 350 260 13 0.5" "disc 500 200 13 0.5" \
    "band 150 200 350 260 4" "band 350 260 500 200 4"
}
check_file() {
  "$py" "$here/check_document.py" "$document" "150,200 350,260 500,200" "1-2 2-3" "1-2-3" ||
    fail "the saved document does not hold the drawn figure"
}
# presses a menu button and waits for its requester; the dialog is in $dialog.
# The dialog must get the mouse as well as the keyboard: the press that opened
# it may not leave the pointer held by the program's window.
ask_with() {
  click_command "$window" "$1"
  dialog=$(wait_window "$2")
  wait_focus "$dialog"
  sleep 0.3
  "$py" "$here/pointer_free.py" || fail "the pointer is held away from the \"$2\" requester"
}
dialog_gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
drag() {
  press "$window" "$1" "$2"
  sleep 0.15
  xdotool mousemove --window "$window" "$3" "$4"
  sleep 0.15
  xdotool mouseup 1
}

# first run: three balls joined in a chain by two links
cd "$work/first"
start "$flopkin"
program=$last_pid
window=$(wait_window Flopkin)
wait_until 10 ask menu "$probe" draw 1000,130,200,300,100
click "$window" 150 200
wait_until 5 ask disc 150 200 13
drag 150 200 350 260
wait_until 5 ask disc 350 260 13 0.5
drag 350 260 500 200
wait_until 5 figure_shown

# "Save as": replace the proposed name by a typed path and confirm
ask_with "Save as" "Save as:"
xdotool key ctrl+a
xdotool type --delay 20 "$document"
sleep 0.3
xdotool key Return
wait_until 10 dialog_gone "Save as:"
wait_until 5 test -s "$document"
check_file
[ -d "saved flopkins" ] || fail "Save as did not make the documents folder"
ls -A "$docs" | grep -qvxF "three balls.fkn" && fail "Save as left other files beside the document: $(ls -A "$docs")"
saved=$(od -An -tx1 "$document")
# Save as shows no "Saved!"
ask label "$probe" Save Save || fail "the Save button does not read \"Save\" after Save as"

# "Open", then Escape in the requester: nothing changes and the program runs on
ask_with Open "Open file:"
xdotool keydown Escape
sleep 0.4
xdotool keyup Escape
wait_until 10 dialog_gone "Open file:"
sleep 1
kill -0 "$program" 2>/dev/null || fail "Escape in the requester ended the program"
xdotool search --onlyvisible --name '^Flopkin$' >/dev/null || fail "the window went away after the cancel"
figure_shown || fail "the figure changed after the cancelled Open"
ask menu "$probe" draw 1000,130,200,300,100 || fail "the menu changed after the cancelled Open"

# "Save" writes to the document chosen before the cancel, without asking
rm "$document"
click_command "$window" Save
wait_until 5 ask label "$probe" Save "Saved!"
wait_until 5 test -s "$document"
xdotool search --onlyvisible --name '^Save as:$' >/dev/null 2>&1 && fail "Save asked for a name again"
[ "$(od -An -tx1 "$document")" = "$saved" ] || fail "Save wrote other bytes than Save as"
wait_until 5 ask label "$probe" Save Save
hold_key "$window" Escape
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "Escape ended the first run with status $exit_status"

# second run: an empty canvas until "Open" brings the figure back
cd "$work/second"
start "$flopkin"
program=$last_pid
window=$(wait_window Flopkin)
wait_until 10 ask menu "$probe" draw 1000,130,200,300,100
[ "$(ask figure | cut -d' ' -f1)" = 0 ] || fail "the second run does not start empty"
ask_with Open "Open file:"
# the location field first: a "/" typed into the file list opens it but can
# lose the key that follows
xdotool key ctrl+l
sleep 0.5
xdotool type --delay 20 "$document"
sleep 0.3
xdotool key Return
wait_until 10 dialog_gone "Open file:"
wait_until 5 figure_shown
ask menu "$probe" draw 1000,130,200,300,100 || fail "the menu changed after Open"
# the opened document is the current one: "Save" writes back to it
rm "$document"
click_command "$window" Save
wait_until 5 test -s "$document"
[ "$(od -An -tx1 "$document")" = "$saved" ] || fail "saving the opened figure wrote other bytes"
hold_key "$window" Escape
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "Escape ended the second run with status $exit_status"
# third run: the default document is loaded at start-up (the program starts
# playing it) without becoming the current one; after "Clear All", "Add" puts
# a document beside a placed ball; the first "Save" then asks for a name, and
# Escape there writes nothing and ends nothing
mkdir -p "$work/third/saved flopkins"
cd "$work/third"
cp "$document" "saved flopkins/flopkin.fkn"
lone=$docs/lone.fkn
"$py" -c 'import struct, sys
open(sys.argv[1], "wb").write(b"1\r\nNew Ball\r\n" + struct.pack("<iffffiii", 1, 1.0, 640.0, 560.0, 13.0, 9, 9, 9))' "$lone"
start "$flopkin"
program=$last_pid
window=$(wait_window Flopkin)
wait_until 10 ask menu "$probe" play 1000,130,200,300,100
read -r count _ <<<"$(ask figure)"
[ "$count" -gt 1000 ] || fail "the default document was not loaded at start-up"
click_command "$window" "Clear All"
wait_until 5 canvas_empty
click "$window" 300 300
wait_until 5 ask disc 300 300 13
ask_with Add "Open file:"
xdotool key ctrl+l
sleep 0.5
xdotool type --delay 20 "$lone"
sleep 0.3
xdotool key Return
wait_until 10 dialog_gone "Open file:"
wait_until 5 ask disc 640 560 13
ask disc 300 300 13 || fail "Add did not keep the ball that was there"
ask_with Save "Save as:"
xdotool keydown Escape
sleep 0.4
xdotool keyup Escape
wait_until 10 dialog_gone "Save as:"
sleep 1
kill -0 "$program" 2>/dev/null || fail "Escape in the Save as requester ended the program"
ls -A "saved flopkins" | grep -qvxF flopkin.fkn && fail "the cancelled Save wrote a file: $(ls -A "saved flopkins")"
[ "$(od -An -tx1 "saved flopkins/flopkin.fkn")" = "$saved" ] || fail "the cancelled Save changed the default document"
ask all "disc 300 300 13" "disc 640 560 13" || fail "the figure changed after the cancelled Save"
# confirming the proposed name saves as "saved flopkins/untitled.fkn"
ask_with "Save as" "Save as:"
xdotool key Return
wait_until 10 dialog_gone "Save as:"
wait_until 5 test -s "saved flopkins/untitled.fkn"
"$py" "$here/check_document.py" "saved flopkins/untitled.fkn" "300,300 640,560" "" "" ||
  fail "the proposed document does not hold the placed and the added ball"
click_command "$window" Quit
wait_exit "$program" 10
[ "$exit_status" = 0 ] || fail "Quit ended the third run with status $exit_status"
echo "documents by hand ok"
