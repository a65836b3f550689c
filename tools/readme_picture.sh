#!/bin/bash
# Makes the README's picture of play again: frame 4684 of the stored long
# fight, drawn by the real game through tarvo-replay, as docs/play.png.
# Usage: tools/readme_picture.sh [BUILD_DIR]   (default build/release)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/release}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/tarvo-replay" "$root/tests/game/reference/long_fight.keys" 4685 --shots 4684 --out "$work" >/dev/null
convert "$work/frame_04684.tif" -strip "$root/docs/play.png" 2>/dev/null
echo "wrote docs/play.png"
