#!/bin/bash
# The game installed into a fresh prefix: the files are where a Linux game
# keeps them, and the installed tarvo-replay, run from another folder, finds
# its pictures. Then the Debian package and the dependencies it declares.
# Usage: install_test.sh BUILD_DIR
set -u
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 || fail "cmake --install: $(tail -3 "$work/install.log")"
for f in bin/tarvo bin/tarvo-replay bin/imgtool share/applications/tarvo.desktop share/pixmaps/tarvo.xpm \
         share/tarvo/Images/tile.tif share/tarvo/Images/player_ship.tif share/tarvo/Images/end_text.tif \
         share/tarvo/Sounds/player_shot.wav share/tarvo/Sounds/engine_hum.wav; do
  [ -e "$work/prefix/$f" ] || fail "$f not installed"
done
pictures=$(ls "$work/prefix/share/tarvo/Images" | grep -c '\.tif$')
[ "$pictures" = 33 ] || fail "expected 33 pictures, found $pictures"
grep -qx 'Exec=tarvo' "$work/prefix/share/applications/tarvo.desktop" || fail "desktop entry lacks Exec=tarvo"
head -1 "$work/prefix/share/pixmaps/tarvo.xpm" | grep -qx '/\* XPM \*/' || fail "icon is not an XPM picture"

# From a folder with no pictures in it and no build beside it.
mkdir -p "$work/elsewhere" && cd "$work/elsewhere" || exit 1
printf '0 down SPACE\n' >start.keys
"$work/prefix/bin/tarvo-replay" start.keys 3 >states.jsonl 2>replay.err || fail "installed tarvo-replay: exit status $?"
[ "$(wc -l <states.jsonl)" = 3 ] || fail "installed tarvo-replay printed $(wc -l <states.jsonl) lines"
grep -q 'message box' replay.err && fail "pictures not found: $(head -2 replay.err)"
"$work/prefix/bin/imgtool" info "$work/prefix/share/tarvo/Images/tile.tif" >/dev/null || fail "installed imgtool"

# The Debian package: its files and declared dependencies.
if command -v cpack >/dev/null && command -v dpkg-deb >/dev/null; then
  (cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/package" >cpack.log 2>&1) ||
    fail "cpack: $(tail -3 "$work/cpack.log")"
  deb=$(ls "$work"/package/*.deb 2>/dev/null | head -1)
  if [ -n "$deb" ]; then
    depends=$(dpkg-deb -f "$deb" Depends)
    for d in libsdl2-2.0-0 libsdl2-ttf-2.0-0 libsdl2-mixer-2.0-0 fonts-dejavu-core; do
      echo "$depends" | grep -q "$d" || fail "package does not depend on $d: $depends"
    done
    dpkg-deb -c "$deb" >"$work/contents.txt"
    grep -q './usr/share/tarvo/Images/tile.tif' "$work/contents.txt" || fail "package lacks the pictures"
    grep -q './usr/bin/tarvo$' "$work/contents.txt" || fail "package lacks the game"
  else
    fail "cpack made no .deb"
  fi
fi

if [ $failures = 0 ]; then echo "install: all checks passed"; fi
exit $((failures > 0))
