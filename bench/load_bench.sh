#!/usr/bin/env bash
# The whole headless frame on one thread and by default (the team sizing
# itself) beside 0, 1 and 2 other busy processes, on the 5,000- and
# 20,000-ball meshes. The runs are taken turn about, one thread and default
# alternating which goes first, and each row gives the medians over the
# rounds of the runs' median and p99 frame times. The busy processes are
# bounded in time and ended by the bench. By default 7 rounds of 300 frames
# (about 10 minutes on an idle 2-core machine): shorter runs miss how the
# scheduler places the threads beside busy processes.
# Usage: bench/load_bench.sh BUILD_DIR [--rounds N] [--frames N] [--busy "0 1 2"] [--balls "5000 20000"]
set -euo pipefail
build=$1
shift
rounds=7 frames=300 busy_counts="0 1 2" sizes="5000 20000"
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2 ;;
    --frames) frames=$2 ;;
    --busy) busy_counts=$2 ;;
    --balls) sizes=$2 ;;
    *) echo "load_bench: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done

work=$(mktemp -d)
busy=()
stop_busy() {
  for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${busy[@]}"; do wait "$pid" 2>/dev/null || true; done
  busy=()
}
trap 'stop_busy; rm -rf "$work"' EXIT

for balls in $sizes; do "$build/flopkin_make_figure" mesh "$balls" "$work/mesh-$balls.fkn" >/dev/null; done

# median of the numbers on standard input
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# one run: appends "median p99" to the file of its kind, and the team's
# frame counts to the team file
run() {
  local threads=$1 balls=$2 into=$3 err=$work/stats
  local option=()
  [ "$threads" = 1 ] && option=(--threads 1)
  "$build/flopkin" --headless --unpaced --frames "$frames" --stats "${option[@]}" "$work/mesh-$balls.fkn" 2>"$err"
  if ! grep -qE '^frames=' "$err"; then
    echo "load_bench: no frame times from $threads thread(s) on $balls balls:" >&2
    cat "$err" >&2
    exit 1
  fi
  sed -nE 's/.* median_ms=([0-9.]+) p99_ms=([0-9.]+) .*/\1 \2/p' "$err" >>"$into"
  grep -h '^frames_on' "$err" >>"$into.team" || echo "no frame shared" >>"$into.team"
}

printf '%-6s %-7s %10s %10s %10s %10s %8s %8s  %s\n' busy balls "1 median" "1 p99" "def median" "def p99" median p99 "default's frames (last round)"
for count in $busy_counts; do
  for ((k = 0; k < count; k++)); do
    # bounded even if this script is killed before it ends them
    timeout 3600 sh -c 'while :; do :; done' &
    busy+=($!)
  done
  for balls in $sizes; do
    one=$work/one-$count-$balls def=$work/default-$count-$balls
    : >"$one"; : >"$def"; : >"$def.team"
    for ((r = 0; r < rounds; r++)); do
      if ((r % 2 == 0)); then run 1 "$balls" "$one"; run 0 "$balls" "$def"; else run 0 "$balls" "$def"; run 1 "$balls" "$one"; fi
    done
    om=$(cut -d' ' -f1 "$one" | median) op=$(cut -d' ' -f2 "$one" | median)
    dm=$(cut -d' ' -f1 "$def" | median) dp=$(cut -d' ' -f2 "$def" | median)
    printf '%-6s %-7s %10s %10s %10s %10s %8s %8s  %s\n' "$count" "$balls" "$om" "$op" "$dm" "$dp" \
      "$(awk -v a="$dm" -v b="$om" 'BEGIN { printf "%.2fx", a / b }')" \
      "$(awk -v a="$dp" -v b="$op" 'BEGIN { printf "%.2fx", a / b }')" "$(tail -n1 "$def.team")"
  done
  stop_busy
done
echo "load: $(uptime)"
