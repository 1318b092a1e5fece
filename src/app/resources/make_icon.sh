#!/bin/sh
# Draws lintaro_icon.png, the window's 64 x 64 icon: a blue tile with table rows, one of
# them highlighted, under a magnifying glass. Needs ImageMagick; run from this folder.
set -eu
convert -size 64x64 xc:none \
  -fill '#2F6FB3' -draw 'roundrectangle 2,2 61,61 10,10' \
  -fill '#FFFFFF' -draw 'rectangle 10,14 42,19' -draw 'rectangle 10,34 42,39' \
  -draw 'rectangle 10,44 34,49' \
  -fill '#FFD83A' -draw 'rectangle 10,24 42,29' \
  -fill none -stroke '#FFFFFF' -strokewidth 4 -draw 'circle 40,36 40,49' \
  -stroke '#FFD83A' -strokewidth 6 -draw 'line 49,46 57,55' \
  -define png:color-type=6 PNG32:lintaro_icon.png
