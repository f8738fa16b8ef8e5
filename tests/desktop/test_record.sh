#!/usr/bin/env bash
# --record: an animated GIF of the frames shown. Every frame of a 120-frame
# run decodes, the last one pixel for pixel the --screenshot of the same run;
# a window run records too, an encoder that falls behind loses no frame, and
# a path that cannot be written, or a disk that fills up, fails the run.
source "$(dirname "$0")/lib.sh"
flopkin=$1
need convert identify
example=$here/../../examples/crowd.fkn
cd "$work"

env -u DISPLAY "$flopkin" --headless --unpaced --seed 3 --frames 120 --record-every 1 --record clip.gif \
  --screenshot shot.png "$example" 2>err || fail "the recorded run failed: $(cat err)"
frames=$(identify clip.gif | wc -l)
[ "$frames" = 120 ] || fail "the clip has $frames frames, not 120"
# the frames after the first hold only what changed: put together, the last is the screenshot
convert clip.gif -coalesce -delete 0-118 -depth 8 rgb:last.rgb
convert shot.png -depth 8 rgb:shot.rgb
cmp -s last.rgb shot.rgb || fail "the clip's last frame differs from the screenshot"

# an encoder that falls behind the run (its clip taken slowly from a pipe
# of one page) still puts every frame into the clip, the last ones too
mkfifo slow.gif
start "$py" -c 'import fcntl, sys, time
with open(sys.argv[1], "rb", buffering=0) as pipe, open(sys.argv[2], "wb") as out:
    fcntl.fcntl(pipe, 1031, 4096)  # F_SETPIPE_SZ
    while block := pipe.read(4096):
        out.write(block)
        time.sleep(0.05)' slow.gif slowly.gif
reader=$last_pid
env -u DISPLAY "$flopkin" --headless --unpaced --seed 3 --frames 20 --record-every 1 --record slow.gif --stats \
  "$example" 2>err || fail "the run recording into a pipe failed: $(cat err)"
wait "$reader" || fail "the pipe's reader failed"
grep -q "^record_frames=20 record_waits=[1-9]" err || fail "the encoder never fell behind: $(cat err)"
frames=$(identify slowly.gif | wc -l)
[ "$frames" = 20 ] || fail "the slowly taken clip has $frames frames, not 20"

status=0
env -u DISPLAY "$flopkin" --headless --frames 1 --record "$work/missing/clip.gif" "$example" 2>err || status=$?
[ "$status" = 1 ] || fail "an unwritable clip gave status $status"
grep -q "cannot write" err || fail "an unwritable clip said: $(cat err)"

# a clip the disk has no room for fails the run, says so as a save would, and is removed
if mkdir small && mount -t tmpfs -o size=64k flopkin small 2>/dev/null; then
  status=0
  env -u DISPLAY "$flopkin" --headless --unpaced --frames 60 --record-every 1 --record small/clip.gif "$example" \
    2>err || status=$?
  left=$(ls small)
  umount small
  [ "$status" = 1 ] || fail "a clip on a full disk gave status $status"
  grep -qx 'flopkin: cannot write "small/clip.gif": the disk is full' err || fail "a full disk said: $(cat err)"
  [ -z "$left" ] || fail "a clip that could not be finished was left: $left"
else
  echo "note: no small file system to fill (not root); the full disk is not tried"
fi

# in a window, by default every second frame, with the loop's waits on the encoder counted
start_xvfb
xdotool mousemove 1279 1023
"$flopkin" --unpaced --seed 3 --frames 30 --stats --record window.gif "$example" 2>err ||
  fail "the window run failed: $(cat err)"
grep -q "^record_frames=15 record_waits=[0-9]* record_wait_ms=" err || fail "no clip statistics: $(cat err)"
delays=$(identify -format "%T " window.gif)
[ "$delays" = "3 3 4 3 3 4 3 3 4 3 3 4 3 3 4 " ] || fail "the window clip's delays are $delays"
echo "record ok"
