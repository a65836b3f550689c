#!/bin/bash
# The program's options are checked before anything starts: a bad scale or a
# recording that would replace a file is refused with a clear message and
# status 2, and the file is left alone. No display is needed.
# usage: arguments.sh PATH/TO/tarvo
set -u
program=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

refused() {  # expected-message args...
  local expected=$1
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$program" "$@" >out.txt 2>err.txt
  local status=$?
  [ $status = 2 ] || fail "'$*': exit status $status, expected 2"
  grep -qF -e "$expected" err.txt || fail "'$*': '$(cat err.txt)' lacks '$expected'"
}
refused "--scale takes a whole number from 1 to 8, not '0'" --scale 0
refused "--scale takes a whole number from 1 to 8, not '9'" --scale 9
refused "--scale takes a whole number from 1 to 8, not 'two'" --scale two
refused "unknown or incomplete option '--scale'" --scale
refused "unknown or incomplete option '--fullscreen'" --fullscreen
echo precious >taken.keys
refused "taken.keys already exists" --record taken.keys
[ "$(cat taken.keys)" = precious ] || fail "the existing recording was changed"

if [ $failures = 0 ]; then echo "arguments: all checks passed"; fi
exit $((failures > 0))
