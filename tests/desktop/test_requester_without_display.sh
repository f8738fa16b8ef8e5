#!/usr/bin/env bash
# With a window but no display server for GTK (SDL's offscreen driver), the
# requester answers "" as a cancel instead of crashing or hanging.
set -euo pipefail
probe=$2
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen NO_AT_BRIDGE=1 timeout 30 "$probe" save "x.fkn") || {
  echo "FAIL: the probe ended with status $?" >&2
  exit 1
}
grep -qxF "chosen=[]" <<<"$answer" || {
  echo "FAIL: expected chosen=[], got: $answer" >&2
  exit 1
}
echo "requester without a display cancels"
