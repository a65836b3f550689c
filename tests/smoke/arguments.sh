#!/bin/bash
# The program's options are checked before anything starts: an unknown
# option, a bad scale or a recording that would replace a file is refused
# with a clear message and status 2, and the file is left alone; the options
# it takes let it go on to start. No display is needed.
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
refused "option '--scale' needs a value" --scale
refused "option '--record' needs a value" --record
refused "option '--settings' needs a value" --settings
refused "--settings needs a file name, not an empty one" --settings ""

# --help lists every option on standard output, and starts nothing.
env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$program" --help >out.txt 2>err.txt
status=$?
[ $status = 0 ] || fail "--help: exit status $status, expected 0"
[ -s err.txt ] && fail "--help wrote to standard error: $(cat err.txt)"
for option in --fullscreen --window --scale --mute --record --settings --version --help; do
  grep -qe "  $option" out.txt || fail "--help does not list $option"
done
[ -e debug.txt ] && [ -n "$(tail -n +2 debug.txt)" ] && fail "--help started the engine"
for bad in --full-screen --bogus -m --mute=yes mute; do
  refused "unknown option '$bad'" --mute "$bad"
  [ -e debug.txt ] && [ -n "$(tail -n +2 debug.txt)" ] && fail "$bad: the engine started"
done
echo precious >taken.keys
refused "taken.keys already exists" --record taken.keys
[ "$(cat taken.keys)" = precious ] || fail "the existing recording was changed"
refused "a recording needs a file name, not an empty one" --record ""
refused "no-such-folder/x.keys: no folder no-such-folder" --record no-such-folder/x.keys
# A recording is made only once the game has started: a start that fails
# (no display) leaves no file behind to refuse the name next time.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$dir" timeout 60 "$program" --record new.keys \
    >out.txt 2>err.txt
status=$?
[ $status = 255 ] || fail "--record new.keys without a display: exit status $status, expected 255"
[ -e new.keys ] && fail "a start that failed left new.keys behind"

# --version: the project's one version, and nothing started.
version=$(sed -n 's/^project(tarvo VERSION \([0-9.]*\).*/\1/p' "$(dirname "$(realpath "$0")")/../../CMakeLists.txt")
env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$program" --version >out.txt 2>err.txt
status=$?
[ $status = 0 ] || fail "--version: exit status $status"
[ "$(cat out.txt)" = "tarvo $version" ] || fail "--version printed '$(cat out.txt)', expected 'tarvo $version'"
[ -e debug.txt ] && [ -n "$(tail -n +2 debug.txt)" ] && fail "--version: the engine started"

# Taken: the program goes on to start (and, with no display, says why with 255).
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$dir" timeout 60 "$program" --mute --scale 2 \
    >out.txt 2>err.txt
status=$?
[ $status = 255 ] || fail "--mute --scale 2: exit status $status, expected 255"
grep -q "option" err.txt && fail "--mute --scale 2 refused: $(cat err.txt)"

if [ $failures = 0 ]; then echo "arguments: all checks passed"; fi
exit $((failures > 0))
