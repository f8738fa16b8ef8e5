#!/usr/bin/env bash
# Builds the page and the browser's physics probe (scripts/web), installs the
# system's Chromium and the pinned puppeteer-core, then drives the page.
# Usage: run_browser_test.sh NATIVE_PHYSICS_PROBE MAKE_FIGURE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
probe=$1
make_figure=$2

packages=(chromium)
command -v npm >/dev/null 2>&1 || packages+=(npm)
"$root/scripts/install-packages" "${packages[@]}"
"$root/scripts/web" web_physics_probe >/dev/null

cd "$here"
# the system's Chromium only: puppeteer must fetch no browser of its own
export PUPPETEER_SKIP_DOWNLOAD=1
if [ ! -d node_modules/puppeteer-core ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund >/dev/null
fi
exec node browser_test.mjs "$root/build-web" "$root/examples" "$probe" "$make_figure"
