#!/bin/sh
# contact_sheet.sh IMAGES_DIR OUT.png: every generated picture, labelled, on a dark background, for
# looking at the art as a player would. Needs ImageMagick; not part of the build.
set -e
[ $# -eq 2 ] || { echo "usage: $0 IMAGES_DIR OUT.png" >&2; exit 2; }
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
# Larger pictures (the text panels) are shrunk to fit a cell; sprites keep their size.
montage -font "$font" -pointsize 10 -fill white -background '#101018' -label '%t' \
  $(ls "$1"/*.tif | sort) -geometry '160x160+4+4>' -tile 7x "$2" 2>/dev/null
