#!/usr/bin/env bash
# A contact sheet of every picture at 16, 24 and 32 pixels, for reviewing the art.
#   contact-sheet.sh PNG_FOLDER OUT.png
set -euo pipefail
png=$1; out=$2
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
for small in "$png"/*-16.png; do
  stem=$(basename "$small" -16.png)
  convert -background none "$png/$stem-16.png" "$png/$stem-24.png" "$png/$stem-32.png" \
    -bordercolor none -border 3 -gravity south +append "$work/$stem.png"
done
# Wine's Tahoma (fonts-wine) labels the tiles: ImageMagick's default font may be missing.
montage -font /usr/share/wine/fonts/tahoma.ttf -label '%t' -pointsize 11 -background '#E4E6EB' -tile 6x -geometry +8+8 "$work"/*.png "$out"
