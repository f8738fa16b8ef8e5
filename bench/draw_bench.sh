#!/usr/bin/env bash
# Runs the drawing bench in a private Xvfb, as the desktop tests run the program.
# Usage: bench/draw_bench.sh FLOPKIN_DRAW_BENCH [--frames N] [--balls N]
source "$(dirname "$0")/../tests/desktop/lib.sh"
bench=$1
shift
start_xvfb
"$bench" "$@"
