#!/bin/bash
# With no display at all the program reports why it cannot start and exits
# with 255; it never hangs or runs unseen.
# usage: no_display.sh PATH/TO/tarvo
set -u
program=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$dir" \
    timeout 60 "$program" >stdout.txt 2>stderr.txt
code=$?
fail() { echo "FAIL: $*"; echo "--- stderr"; cat stderr.txt; echo "--- debug.txt"; cat debug.txt; exit 1; }
[ "$code" = 255 ] || fail "exit status $code, expected 255"
expected=$'WindowsDX: Initialization started.\n  Tarvo Error: INITCLASS_FAILED (Cannot Initialize Window Class)\n  '
[ "$(cat debug.txt; echo x)" = "${expected}x" ] || fail "debug.txt differs"
grep -q '^Unable to start Tarvo\.$' stderr.txt || fail "the report is not on standard error"
grep -qF 'Error: INITCLASS_FAILED (Cannot Initialize Window Class)' stderr.txt || fail "the report lacks its first line"
echo "no display: exit 255, report on standard error, failure line logged"
