#!/usr/bin/env bash
# A batch run keeps its result: DOCUMENT in, --output out; a DOCUMENT that
# cannot be read stops the program with one line and status 2.
set -euo pipefail
flopkin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# two balls and a link, as written by hand
printf '1\r\nNew Ball\r\n' > before.fkn
printf '\x01\x00\x00\x00\x00\x00\x80\x3f\x00\x00\xc8\x42\x00\x00\x48\x43\x00\x00\x50\x41\xff\x00\x00\x00\x00\x00\x00\x00\x80\x00\x00\x00' >> before.fkn
printf 'New Ball\r\n\x02\x00\x00\x00\x00\x00\x80\x3f\x00\x00\x16\x43\x00\x00\x48\x43\x00\x00\x50\x41\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >> before.fkn
printf 'New Link\r\n\x01\x00\x00\x00\x02\x00\x00\x00\x00\x00\x48\x42\x00\x00\x00\x40\x0a\x00\x00\x00\x14\x00\x00\x00\x1e\x00\x00\x00' >> before.fkn
[ "$(stat -c %s before.fkn)" = 125 ] || fail "the hand-made document is not 125 bytes"

"$flopkin" --headless --unpaced --frames 60 --output after.fkn before.fkn || fail "batch run failed"
[ "$(stat -c %s after.fkn)" = 125 ] || fail "--output did not write the two balls and the link"
head -c 13 after.fkn | cmp -s - <(printf '1\r\nNew Ball\r\n') || fail "--output does not start with a ball record"

set +e
"$flopkin" --headless --frames 1 missing.fkn 2>err.txt
status=$?
set -e
[ "$status" = 2 ] || fail "an unreadable DOCUMENT gave status $status, not 2"
[ "$(wc -l < err.txt)" = 1 ] && grep -q 'missing.fkn' err.txt || fail "the message does not name the DOCUMENT: $(cat err.txt)"
echo "batch documents: ok"
