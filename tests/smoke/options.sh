#!/bin/bash
# The program's command line: --mute is taken, anything else is refused with
# a message on standard error and exit status 2 before anything starts.
# usage: options.sh PATH/TO/tarvo
set -u
program=$(realpath "$1")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$dir" timeout 60 "$program" "$@"; }

for bad in --bogus -m --mute=yes mute; do
  rm -f debug.txt
  nodisplay --mute "$bad" >out.txt 2>err.txt
  status=$?
  [ $status = 2 ] || fail "$bad: exit status $status, expected 2"
  grep -qF "unknown option '$bad'" err.txt || fail "$bad: message '$(cat err.txt)'"
  [ -s out.txt ] && fail "$bad: standard output not empty"
  [ -e debug.txt ] && [ -n "$(tail -n +2 debug.txt)" ] && fail "$bad: the engine started"
done
# Taken: the program goes on to start (and, with no display, says why with 255).
nodisplay --mute >out.txt 2>err.txt
status=$?
[ $status = 255 ] || fail "--mute: exit status $status, expected 255"
grep -q "unknown option" err.txt && fail "--mute refused"

if [ $failures = 0 ]; then echo "options: all checks passed"; fi
exit $((failures > 0))
