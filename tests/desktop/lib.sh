# Shared set-up of the desktop tests: a private Xvfb, HOME and the XDG
# folders in a temporary folder (GTK and Mesa write there), and a trap that
# stops everything the test started. Missing tools fail the test: these tests
# are never skipped.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
pids=()
# the system's python, which the Debian python3-xlib package serves
py=/usr/bin/python3
[ -x "$py" ] || py=python3

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || fail "'$tool' is not installed"
  done
}

cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}

work=$(mktemp -d)
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache \
  XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY SDL_VIDEODRIVER

# starts a private Xvfb on a display number it picks itself and exports DISPLAY.
# -noreset: by default the server resets whenever its last client leaves, and
# drops whoever connects meanwhile, so a program started right after another
# ended could find no display at all, now and then
start_xvfb() {
  need Xvfb xdotool xwininfo "$py"
  "$py" -c 'import Xlib' 2>/dev/null || fail "python3-xlib is not installed"
  Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x1024x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  local i
  for i in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=:$(head -n1 "$work/display")
}

# The frame's size and where the menu puts each button, as the program lays
# them out: the menu_places tool (the tests' third argument) prints them once
# into a file that frame.py reads too. Sets frame_width, frame_height and
# canvas_width.
read_menu_places() {
  export FLOPKIN_MENU_PLACES=$work/menu_places
  "$1" >"$FLOPKIN_MENU_PLACES" || fail "the menu's places could not be read from '$1'"
  local fields
  read -r -a fields < <(grep '^frame' "$FLOPKIN_MENU_PLACES")
  frame_width=${fields[1]} frame_height=${fields[2]} canvas_width=${fields[3]}
}

# "x y width height" of the button named as menu_places.cpp names it: a
# command by its label in draw mode ("Play" for the mode button), a value
# row by its name ("Gravity"), its steppers by that and " +" or " -"
button_box() {
  awk -F'\t' -v name="$1" '$2 == name { print $3, $4, $5, $6; found = 1; exit } END { exit !found }' \
    "$FLOPKIN_MENU_PLACES" || fail "the menu has no button named '$1'"
}

# the middle of the named button as "x y"; clicks or presses it there
command_place() {
  local box x y w h
  box=$(button_box "$1") || exit 1
  read -r x y w h <<<"$box"
  echo $((x + w / 2)) $((y + h / 2))
}
click_command() {
  local at
  at=$(command_place "$2") || exit 1
  click "$1" $at
}
press_command() {
  local at
  at=$(command_place "$2") || exit 1
  press "$1" $at
}

# where runs keep their unsaved figures, and the file a run named as it
# ended (from its standard error in $work/err)
recovery_folder=$XDG_STATE_HOME/flopkin/unsaved
kept_file() { sed -n 's/^flopkin: the unsaved figure was kept in "\(.*\)"$/\1/p' "$work/err"; }

# starts a command in the background; its pid is in $last_pid
start() {
  "$@" &
  last_pid=$!
  pids+=("$last_pid")
}

# waits for a shown window with exactly this title; prints its id
wait_window() {
  local title=$1 i id
  for i in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  fail "no window titled '$title' appeared"
}

# waits until the window has the keyboard
wait_focus() {
  local window=$1 i
  for i in $(seq 100); do
    [ "$(xdotool getwindowfocus 2>/dev/null || true)" = "$window" ] && return 0
    sleep 0.1
  done
  fail "window $window never got the keyboard"
}

# holds a key down on the window for a few frames, then lets it go
hold_key() {
  local window=$1 key=$2
  xdotool mousemove --window "$window" 20 20
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool keydown "$key"
  sleep 0.3
  xdotool keyup "$key"
}

# waits up to $2 seconds for a process to end; its status is in $exit_status
wait_exit() {
  local pid=$1 seconds=$2 i
  for i in $(seq $((seconds * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "process $pid still running after ${seconds}s"
  exit_status=0
  wait "$pid" || exit_status=$?
}

# a press of the left button at a client position of the window: a frame
# sees the button up over the spot first (commands act on the first frame of
# a press), then the press is held long enough for a frame to see it
click() {
  press "$@"
  sleep 0.1
  xdotool mouseup 1
}

# moves to a client position, lets a frame see it, then holds the left button
press() {
  local window=$1 x=$2 y=$3
  xdotool mousemove --window "$window" "$x" "$y"
  sleep 0.1
  xdotool mousedown 1
}

# runs a command every 0.2 s until it succeeds; fails after $1 seconds
wait_until() {
  local seconds=$1 i
  shift
  for i in $(seq $((seconds * 5))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  "$@" || fail "still not true after ${seconds}s: $*"
}
