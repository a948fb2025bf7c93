#!/usr/bin/env bash
# Draws the suite's icon (a ravelin, the arrow-shaped outwork of a fortress,
# over a road running to the horizon) and writes the program icons:
#   resources/icons/ravelin.ico        large icon, 16 to 256 pixels
#   resources/icons/ravelin_small.ico  small icon, 16 and 32 pixels
# Needs ImageMagick (tools/setup.sh installs it). The results are committed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 256x256 xc:none \
  \( -size 256x256 gradient:'#2C7BD6-#0B2E5C' \) \
  \( -size 256x256 xc:none -fill white -draw 'roundrectangle 8,8 247,247 44,44' \) \
  -compose over -delete 0 -compose copyopacity -composite \
  -fill '#0B2E5C' -stroke none -draw 'polygon 128,168 40,248 216,248' \
  -fill '#F2A516' -draw 'polygon 128,170 112,248 144,248' \
  -fill white -draw 'polygon 128,28 214,150 128,124 42,150' \
  -fill '#D6E6F8' -draw 'polygon 128,124 214,150 128,150' \
  -fill '#B9D2F0' -draw 'polygon 128,124 42,150 128,150' \
  PNG32:"$work/256.png"

for size in 48 32 16; do
  convert "$work/256.png" -filter Lanczos -resize ${size}x${size} PNG32:"$work/$size.png"
done

convert "$work/16.png" "$work/32.png" "$work/48.png" "$work/256.png" "$top/resources/icons/ravelin.ico"
convert "$work/16.png" "$work/32.png" "$top/resources/icons/ravelin_small.ico"
convert "$work/256.png" "$work/preview.png"
[ -n "${ICON_PREVIEW:-}" ] && cp "$work/preview.png" "$ICON_PREVIEW"
exit 0
