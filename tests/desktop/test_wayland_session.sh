#!/usr/bin/env bash
# On a Wayland session Flopkin runs through XWayland: under a headless Weston
# with XWayland, a run shows the same frame, pixel for pixel, as the same run
# drawn offscreen.
source "$(dirname "$0")/lib.sh"
flopkin=$1
need weston Xwayland
example=$here/../../examples/stick-figure.fkn
cd "$work"

start weston --backend=headless-backend.so --xwayland --socket=flopkin-test --width=1280 --height=1024 \
  --idle-time=0 --log="$work/weston.log"
display=
for _ in $(seq 100); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" 2>/dev/null | head -n1 || true)
  [ -n "$display" ] && break
  sleep 0.1
done
[ -n "$display" ] || fail "Weston did not start XWayland: $(cat "$work/weston.log" 2>/dev/null)"

run_args=(--unpaced --seed 5 --frames 120)
WAYLAND_DISPLAY=flopkin-test DISPLAY=$display timeout 60 "$flopkin" "${run_args[@]}" \
  --screenshot "$work/session.png" "$example" 2>"$work/err" || fail "the run on the Wayland session failed: $(cat "$work/err")"
env -u DISPLAY "$flopkin" --headless "${run_args[@]}" --screenshot "$work/offscreen.png" "$example" 2>"$work/err" ||
  fail "the offscreen run failed: $(cat "$work/err")"
"$py" "$here/compare_frames.py" "$work/session.png" "$work/offscreen.png" ||
  fail "the frame on the Wayland session differs from the offscreen one"
echo "wayland session ok"
