#!/bin/bash
# sound_sheet.sh SOUNDS_DIR OUT.png: a spectrogram of every generated effect in one picture, and
# each effect's length, peak, RMS and mean on standard output, for checking them by eye.
# Needs sox and ImageMagick; not part of the build.
set -eu
dir=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in "$dir"/*.wav; do
  name=$(basename "$f" .wav)
  sox "$f" -n stat 2>&1 | awk -v n="$name" '
    /Length/ {len=$3} /Maximum amplitude/ {max=$3} /Minimum amplitude/ {min=$3}
    /RMS     amplitude/ {rms=$3} /Mean    amplitude/ {mean=$3}
    END {printf "%-16s %.3f s  peak %+.3f/%+.3f  rms %.3f  mean %+.5f\n", n, len, max, min, rms, mean}'
  sox "$f" -n spectrogram -x 400 -y 160 -z 80 -t "$name" -o "$work/$name.png"
done
montage "$work"/*.png -tile 3x -geometry +2+2 "$out"
