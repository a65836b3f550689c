#!/bin/bash
# The game installed into a fresh prefix: the files are where a Debian game
# keeps them, the icons are real PNG pictures, the installed tarvo and
# tarvo-replay, run from another folder, find their pictures, and the menu
# entry's command keeps debug.txt out of the home folder.
# Usage: install_test.sh BUILD_DIR
set -u
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install: $(tail -3 "$work/install.log")"
for f in games/tarvo bin/tarvo-replay bin/tarvo-imgtool share/applications/tarvo.desktop \
         share/icons/hicolor/48x48/apps/tarvo.png share/icons/hicolor/256x256/apps/tarvo.png \
         share/man/man6/tarvo.6.gz share/man/man1/tarvo-replay.1.gz share/man/man1/tarvo-imgtool.1.gz \
         share/doc/tarvo/copyright share/doc/tarvo/changelog.gz \
         share/tarvo/Images/tile.tif share/tarvo/Images/player_ship.tif share/tarvo/Images/end_text.tif \
         share/tarvo/Sounds/player_shot.wav share/tarvo/Sounds/engine_hum.wav; do
  [ -e "$prefix/$f" ] || fail "$f not installed"
done
pictures=$(ls "$prefix/share/tarvo/Images" | grep -c '\.tif$')
[ "$pictures" = 33 ] || fail "expected 33 pictures, found $pictures"
for size in 48 256; do
  python3 "$here/check_png.py" "$prefix/share/icons/hicolor/${size}x${size}/apps/tarvo.png" "$size" ||
    fail "the ${size}x${size} icon"
done
# The changelog names the project's version.
version=$(sed -n 's/^project(tarvo VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")
zcat "$prefix/share/doc/tarvo/changelog.gz" | head -1 | grep -q "^tarvo ($version) " ||
  fail "changelog does not start with version $version: $(zcat "$prefix/share/doc/tarvo/changelog.gz" | head -1)"

# From a folder with no pictures in it and no build beside it.
mkdir -p "$work/elsewhere" && cd "$work/elsewhere" || exit 1
printf '0 down SPACE\n' >start.keys
"$prefix/bin/tarvo-replay" start.keys 3 >states.jsonl 2>replay.err || fail "installed tarvo-replay: exit status $?"
[ "$(wc -l <states.jsonl)" = 3 ] || fail "installed tarvo-replay printed $(wc -l <states.jsonl) lines"
grep -q 'message box' replay.err && fail "pictures not found: $(head -2 replay.err)"
"$prefix/bin/tarvo-imgtool" info "$prefix/share/tarvo/Images/tile.tif" >/dev/null || fail "installed tarvo-imgtool"

# The installed game itself, on a virtual display: its window comes up, it
# loads every picture (a missing one is logged as a file that does not
# exist) and Escape ends it with status 0.
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
  mkdir -p "$work/game" && cd "$work/game" || exit 1
  cat >run.sh <<'SCRIPT'
"$1" & pid=$!
timeout 60 xdotool search --sync --onlyvisible --class tarvo >/dev/null || echo "no window within 60 s"
xdotool key Escape
wait $pid
SCRIPT
  timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash run.sh "$prefix/games/tarvo" >run.log 2>&1
  code=$?
  [ $code = 0 ] || fail "installed tarvo: exit status $code: $(tail -3 run.log)"
  grep -q 'Initialization finished OK' debug.txt || fail "installed tarvo did not start: $(head -3 debug.txt)"
  grep -q 'does not exist' debug.txt && fail "installed tarvo misses files: $(grep -m2 -A1 'does not exist' debug.txt)"
else
  echo "note: no xvfb-run or xdotool; the installed game was not started"
fi

# The menu entry's command: debug.txt goes under $XDG_STATE_HOME/tarvo (by
# default ~/.local/state/tarvo), never into the home folder. With no display
# the game stops at once, after writing its log.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/tarvo.desktop")
python3 "$here/desktop_exec.py" "$exec_line" >"$work/exec.args" || fail "cannot read the entry's Exec line"
mapfile -t command <"$work/exec.args"
run_entry() {  # HOME [XDG_STATE_HOME]
  (cd "$1" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u XDG_STATE_HOME HOME="$1" \
       ${2:+XDG_STATE_HOME="$2"} XDG_RUNTIME_DIR="$work" PATH="$prefix/games:$PATH" \
       timeout 60 "${command[@]}" >/dev/null 2>&1)
}
mkdir -p "$work/home"
run_entry "$work/home"
[ -f "$work/home/.local/state/tarvo/debug.txt" ] || fail "menu entry: no debug.txt in ~/.local/state/tarvo"
[ -e "$work/home/debug.txt" ] && fail "menu entry: debug.txt in the home folder"
mkdir -p "$work/home2"
run_entry "$work/home2" "$work/state dir"
[ -f "$work/state dir/tarvo/debug.txt" ] || fail "menu entry: no debug.txt in \$XDG_STATE_HOME/tarvo"
[ -e "$work/home2/debug.txt" ] && fail "menu entry with XDG_STATE_HOME: debug.txt in the home folder"

if [ $failures = 0 ]; then echo "install: all checks passed"; fi
exit $((failures > 0))
