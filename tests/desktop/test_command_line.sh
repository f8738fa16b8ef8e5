#!/usr/bin/env bash
# The command line: help and version, bad options, headless runs, and the
# message on a machine without a display. No display is needed.
set -uo pipefail
flopkin=$1
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
failures=0

# runs the program with no display; $status, $out and $err hold the result
run() {
  env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$flopkin" "$@" >"$out" 2>"$err"
  status=$?
}

check() {
  if ! eval "$2"; then
    echo "FAIL: $1 (status $status)" >&2
    sed 's/^/  stdout: /' "$out" >&2
    sed 's/^/  stderr: /' "$err" >&2
    failures=$((failures + 1))
  fi
}

run --help
check "--help exits 0 with the usage on stdout" '[ $status = 0 ] && grep -q "^Usage: flopkin" "$out" && [ ! -s "$err" ]'

run --version
check "--version exits 0 naming the program" '[ $status = 0 ] && grep -qE "^flopkin [0-9]+\.[0-9]+" "$out"'

run --bogus
# the fault's line and where to read more, not the whole help
try="Try 'flopkin --help' for more information."
check "an unknown option exits 2, naming it, pointing to --help on stderr" \
  '[ $status = 2 ] && [ "$(head -n1 "$err")" = "flopkin: unknown option '"'--bogus'"'" ] && [ "$(tail -n +2 "$err")" = "$try" ] && [ ! -s "$out" ]'

for bad in "--frames" "--frames -1" "--frames ten" "--frames 5x" "--frames=5x"; do
  run $bad
  check "'$bad' exits 2" '[ $status = 2 ] && [ "$(wc -l <"$err")" = 2 ] && [ "$(tail -n +2 "$err")" = "$try" ]'
done

run --headless
check "--headless without --frames exits 2" '[ $status = 2 ] && grep -q -- "--frames" "$err"'

run --headless --frames 1 --record-every 3
check "--record-every without --record exits 2" '[ $status = 2 ] && grep -q -- "--record-every needs --record" "$err"'

started=$(date +%s%N)
run --headless --frames 60
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
check "--headless --frames 60 exits 0 with nothing printed" '[ $status = 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]'
# paced at 60 per second: about one second, never minutes
check "--headless --frames 60 takes about a second (took ${elapsed_ms} ms)" '[ $elapsed_ms -ge 700 ] && [ $elapsed_ms -lt 5000 ]'

run --headless --unpaced --frames 600 --stats
check "--stats prints one line of frame times" \
  '[ $status = 0 ] && [ "$(wc -l <"$err")" = 1 ] && grep -qE "^frames=600 mean_ms=[0-9.]+ median_ms=[0-9.]+ p99_ms=[0-9.]+ max_ms=[0-9.]+$" "$err"'

run --headless --frames 0
check "--frames 0 runs start-up only and exits 0" '[ $status = 0 ]'

run
check "without a display: 'Unable to set graphics mode' plus a reason, status 1" \
  '[ $status = 1 ] && [ "$(head -n1 "$err")" = "Unable to set graphics mode" ] && [ "$(wc -l <"$err")" = 2 ]'

[ $failures = 0 ] || exit 1
echo "command line ok"
