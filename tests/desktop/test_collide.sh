#!/usr/bin/env bash
# --collide in a batch run: the example crowd falls into a pile whose figures
# overlap by at most 5 % of two radii, the 19,998-ball crowd into one where
# 99 % of touching pairs do and none by half, and one thread or the default
# team write the same bytes.
# Usage: test_collide.sh FLOPKIN MAKE_FIGURE EXAMPLES_DIR
set -euo pipefail
flopkin=$1 make_figure=$2 examples=$3
check=$(cd "$(dirname "$0")" && pwd)/check_overlaps.py
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$flopkin" --headless --unpaced --frames 300 --collide --output "$work/example.fkn" "$examples/crowd.fkn"
python3 "$check" "$work/example.fkn" 0.05 1.0 0.05 || fail "the example crowd's figures overlap"

"$make_figure" crowd 19998 "$work/crowd.fkn" -2300 -1100 >/dev/null
"$flopkin" --headless --unpaced --frames 400 --collide --threads 1 --output "$work/one.fkn" "$work/crowd.fkn"
"$flopkin" --headless --unpaced --frames 400 --collide --output "$work/team.fkn" "$work/crowd.fkn"
cmp -s "$work/one.fkn" "$work/team.fkn" || fail "one thread and the default team moved the crowd apart"
python3 "$check" "$work/one.fkn" 0.05 0.99 0.5 || fail "the crowd's figures overlap"
echo "collide: ok"
