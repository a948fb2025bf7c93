#!/usr/bin/env bash
# Draws the item tests' image (exact colours, no smoothing) and writes
# ItemParts.png beside this script. Needs ImageMagick; the result is committed.
#   (0,0)-(15,15)   tile: red, column 0 blue, row 0 green, pixel (0,0) magenta
#   (0,16)-(29,45)  nine-grid: 3 x 3 cells of 10 px, cell (row r, column c) = rgb(20+40c, 20+40r, 200)
#   (40,0)-(79,79)  button states Normal, HotNormal, Push, HotPush, 20 px apart; each
#                   row of a state is rgb(R, G, 0) with G = 100, 150, 200, 250 and
#                   R = 50 for columns 0-9, 100 for 10-27, 150 for 28-39
#   (40,80)-(79,99) disabled look: rgb(128, 128, 128)
#   (0,50)-(7,57)   unchecked mark: white;  (8,50)-(15,57) checked mark: rgb(0, 0, 90)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
draw=(-fill 'rgb(255,0,0)' -draw 'rectangle 0,0 15,15'
      -fill 'rgb(0,0,255)' -draw 'rectangle 0,0 0,15'
      -fill 'rgb(0,255,0)' -draw 'rectangle 0,0 15,0'
      -fill 'rgb(255,0,255)' -draw 'point 0,0')
for r in 0 1 2; do
  for c in 0 1 2; do
    x=$((c * 10)); y=$((16 + r * 10))
    draw+=(-fill "rgb($((20 + 40 * c)),$((20 + 40 * r)),200)" -draw "rectangle $x,$y $((x + 9)),$((y + 9))")
  done
done
state=0
for g in 100 150 200 250; do
  y=$((state * 20))
  draw+=(-fill "rgb(50,$g,0)" -draw "rectangle 40,$y 49,$((y + 19))"
         -fill "rgb(100,$g,0)" -draw "rectangle 50,$y 67,$((y + 19))"
         -fill "rgb(150,$g,0)" -draw "rectangle 68,$y 79,$((y + 19))")
  state=$((state + 1))
done
draw+=(-fill 'rgb(128,128,128)' -draw 'rectangle 40,80 79,99'
       -fill white -draw 'rectangle 0,50 7,57'
       -fill 'rgb(0,0,90)' -draw 'rectangle 8,50 15,57')
convert -size 80x100 'xc:rgb(255,0,255)' +antialias "${draw[@]}" -define png:color-type=2 "$here/ItemParts.png"
