#!/usr/bin/env bash
# What a frame of a big figure costs where people see it, beside the headless
# program's frame, on the 5,000- and 20,000-ball meshes in play mode:
#   headless  flopkin --headless --unpaced --threads 1 --stats: the frame's median
#   window    flopkin --unpaced --stats in a private Xvfb with Mesa's software
#             renderer (the default threads): the frame's median
#   page      the page in the system's headless Chromium (software WebGL), the
#             figure opened from the computer, play mode: the main thread's busy
#             time per program frame (wall-clock, so it includes waiting for a
#             core, which the GPU process's software drawing takes one of) and
#             its own processor time per program frame, program frames a
#             second, the shares of the main thread's samples in drawing and in
#             the step, and the frames shown until a press on the mode button
#             shows its new mode, with the program frames made meanwhile (the
#             worse of into draw mode and back to play)
# The three are taken turn about within each round (which goes first rotates),
# so a busy moment of the machine weighs on all; the table gives the medians
# over the rounds, and the ratios to the headless frame of the same rounds.
# Needs the desktop build (flopkin, flopkin_make_figure), the page built by
# scripts/web, and puppeteer-core (scripts/setup --tests).
# Usage: bench/shown_frame_bench.sh [--build DIR] [--web DIR] [--rounds N] [--frames N] [--seconds S] [--balls "5000 20000"]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build web=$root/build-web rounds=3 frames=200 seconds=10 sizes="5000 20000"
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$2 ;;
    --web) web=$2 ;;
    --rounds) rounds=$2 ;;
    --frames) frames=$2 ;;
    --seconds) seconds=$2 ;;
    --balls) sizes=$2 ;;
    *) echo "shown_frame_bench: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
for need in "$build/flopkin" "$build/flopkin_make_figure" "$web/site/flopkin.wasm" "$root/tests/web/node_modules/puppeteer-core"; do
  [ -e "$need" ] || { echo "shown_frame_bench: $need is missing" >&2; exit 2; }
done

source "$root/tests/desktop/lib.sh"
start_xvfb
export LIBGL_ALWAYS_SOFTWARE=1
# the private Xvfb and the figures live in lib.sh's temporary folder, which its trap removes
data=$work

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
frame_median() {
  local err=$data/stats
  "$build/flopkin" "$@" --unpaced --frames "$frames" --stats "$figure" 2>"$err" >/dev/null || true
  sed -nE 's/.* median_ms=([0-9.]+) .*/\1/p' "$err" | grep . || { echo "shown_frame_bench: no frame times:" >&2; cat "$err" >&2; exit 1; }
}
measure() {
  case $1 in
    headless) frame_median --headless --threads 1 >>"$data/headless" ;;
    window) frame_median >>"$data/window" ;;
    page)
      node "$root/bench/page_frame_bench.mjs" "$web" "$figure" "$seconds" >"$data/page.json"
      node -e 'const r = JSON.parse(require("fs").readFileSync(process.argv[1]));
        console.log(r.main_ms_per_frame, r.frames_per_second, r.named ? r.drawing_share : "nan", r.named ? r.step_share : "nan",
          r.main_cpu_ms_per_frame, r.mode_press_shown, r.mode_press_frames)' "$data/page.json" >>"$data/page" ;;
  esac
}

printf '| figure | headless, one thread | window, software GL | page, main thread per frame | page, main thread'"'"'s processor time per frame | page frames/s | page: drawing, step (share of main thread) | page: mode press, frames shown until it acts (program frames) |\n'
printf '|---|---|---|---|---|---|---|---|\n'
for balls in $sizes; do
  figure=$data/mesh-$balls.fkn
  "$build/flopkin_make_figure" mesh "$balls" "$figure" >"$data/made"
  : >"$data/headless"; : >"$data/window"; : >"$data/page"
  order=(headless window page)
  for ((r = 0; r < rounds; r++)); do
    for ((k = 0; k < 3; k++)); do measure "${order[(r + k) % 3]}"; done
  done
  h=$(median <"$data/headless") w=$(median <"$data/window")
  p=$(cut -d' ' -f1 "$data/page" | median) fps=$(cut -d' ' -f2 "$data/page" | median)
  ds=$(cut -d' ' -f3 "$data/page" | median) ss=$(cut -d' ' -f4 "$data/page" | median)
  pc=$(cut -d' ' -f5 "$data/page" | median) press=$(cut -d' ' -f6 "$data/page" | sort -g | tail -1)
  made=$(cut -d' ' -f7 "$data/page" | sort -g | tail -1)
  # the shares need the page's symbol map; a page built without one has none
  shares=$(awk -v d="$ds" -v s="$ss" 'BEGIN { if (d == "nan") print "-"; else printf "%.0f %%, %.0f %%", 100 * d, 100 * s }')
  printf '| mesh, %s balls | %.1f ms | %.1f ms (%.2fx) | %.1f ms (%.2fx) | %.1f ms (%.2fx) | %.1f | %s | at most %s (%s) |\n' \
    "$(sed -nE 's/.*: ([0-9]+) balls.*/\1/p' "$data/made")" "$h" "$w" "$(awk -v a="$w" -v b="$h" 'BEGIN { print a / b }')" \
    "$p" "$(awk -v a="$p" -v b="$h" 'BEGIN { print a / b }')" "$pc" "$(awk -v a="$pc" -v b="$h" 'BEGIN { print a / b }')" \
    "$fps" "$shares" "$press" "$made"
done
echo "rounds: $rounds; load: $(uptime)"
