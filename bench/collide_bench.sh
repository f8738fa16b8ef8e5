#!/usr/bin/env bash
# The whole headless frame of the 19,998-ball crowd (3,333 stick figures
# falling into a pile) with figures colliding and without, on one thread and
# by default. The four runs of a round are taken turn about, each round
# starting one further along, and each row gives the median over the rounds
# of the runs' median and p99 frame times. Then the pile's overlaps after the
# last run with collisions. By default 5 rounds of 400 frames: the crowd,
# spread over the widest view from a third of its height down, has fallen
# into a pile by frame 200 or so, and 400 frames time mostly the pile.
# With --piles, the pile's overlaps are also checked at every 100th frame
# from 300 to 900 (seven more runs, a minute or two).
# Usage: bench/collide_bench.sh BUILD_DIR [--rounds N] [--frames N] [--balls N] [--piles]
set -euo pipefail
build=$1
shift
rounds=5 frames=400 balls=19998 piles=0
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2 ;;
    --frames) frames=$2 ;;
    --balls) balls=$2 ;;
    --piles) piles=1; shift; continue ;;
    *) echo "collide_bench: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/flopkin_make_figure" crowd "$balls" "$work/crowd.fkn" -2300 -1100 >/dev/null

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

kinds=("1 off" "0 off" "1 on" "0 on")
run() {
  local threads=$1 collide=$2 option=()
  [ "$threads" = 1 ] && option+=(--threads 1)
  [ "$collide" = on ] && option+=(--collide --output "$work/pile.fkn")
  "$build/flopkin" --headless --unpaced --frames "$frames" --stats "${option[@]}" "$work/crowd.fkn" 2>"$work/stats"
  sed -nE 's/.* median_ms=([0-9.]+) p99_ms=([0-9.]+) .*/\1 \2/p' "$work/stats" >>"$work/$threads-$collide"
}
for ((r = 0; r < rounds; r++)); do
  for ((k = 0; k < 4; k++)); do run ${kinds[$(((r + k) % 4))]}; done
done

printf '%-8s %12s %12s %12s %12s %10s %10s\n' threads "off median" "off p99" "on median" "on p99" "on/off" "p99 on/off"
for threads in 1 0; do
  om=$(cut -d' ' -f1 "$work/$threads-off" | median) op=$(cut -d' ' -f2 "$work/$threads-off" | median)
  cm=$(cut -d' ' -f1 "$work/$threads-on" | median) cp=$(cut -d' ' -f2 "$work/$threads-on" | median)
  printf '%-8s %12s %12s %12s %12s %10s %10s\n' "$([ "$threads" = 1 ] && echo one || echo default)" "$om" "$op" "$cm" "$cp" \
    "$(awk -v a="$cm" -v b="$om" 'BEGIN { printf "%.2fx", a / b }')" "$(awk -v a="$cp" -v b="$op" 'BEGIN { printf "%.2fx", a / b }')"
done
python3 "$here/../tests/desktop/check_overlaps.py" "$work/pile.fkn" 0.05 0.99 0.5 || true
if [ "$piles" = 1 ]; then
  # at most 1 % of the touching pairs over 5 %, none over 25 %
  for ((n = 300; n <= 900; n += 100)); do
    "$build/flopkin" --headless --unpaced --frames "$n" --collide --output "$work/pile-$n.fkn" "$work/crowd.fkn" 2>/dev/null
    python3 "$here/../tests/desktop/check_overlaps.py" "$work/pile-$n.fkn" 0.05 0.99 0.25 || echo "frame $n: over"
  done
fi
echo "load: $(uptime)"
