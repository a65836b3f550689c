#!/bin/bash
# A scale whose window does not fit the usable desktop is refused before
# anything starts, with a message and status 2: on 1920 x 1080, --scale 3
# would make the window 2265 x 1533 and show nothing. Run on a virtual X
# server of 1920 x 1080.
# usage: scale_refused.sh PATH/TO/tarvo
set -u
program=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
timeout 30 "$program" --mute --scale 3 >out.txt 2>err.txt
status=$?
failures=0
[ $status = 2 ] || { echo "FAIL: --scale 3: exit status $status, expected 2"; failures=1; }
expected="--scale 3 makes the window 2265 x 1533 pixels; the desktop has room for 1920 x 1080"
grep -qF -e "$expected" err.txt || { echo "FAIL: '$(cat err.txt)' lacks '$expected'"; failures=1; }
if [ -e debug.txt ] && [ -n "$(tail -n +2 debug.txt)" ]; then echo "FAIL: the engine started"; failures=1; fi
[ $failures = 0 ] && echo "scale_refused: all checks passed"
exit $failures
