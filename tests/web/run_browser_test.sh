#!/usr/bin/env bash
# Brings the page and the browser's physics probe up to date (scripts/web,
# installing nothing), then drives the page with the system's Chromium and
# the pinned puppeteer-core, which scripts/setup --tests installs.
# Usage: run_browser_test.sh NATIVE_PHYSICS_PROBE MAKE_FIGURE FLOPKIN
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
probe=$1
make_figure=$2
flopkin=$3

FLOPKIN_NO_INSTALL=1 "$root/scripts/web" web_physics_probe >/dev/null

cd "$here"
if [ ! -d node_modules/puppeteer-core ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  echo "flopkin: puppeteer-core is missing or older than package-lock.json; scripts/setup --tests installs it" >&2
  exit 1
fi
exec node browser_test.mjs "$root/build-web" "$root/examples" "$probe" "$make_figure" "$flopkin"
