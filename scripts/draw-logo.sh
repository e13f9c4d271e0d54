#!/bin/sh
# Draws the about box's built-in logo: 147 x 120 pixels, 256 colours, uncompressed BMP.
# The bottom-left pixel is the background colour, which the logo control draws transparent.
# Usage: scripts/draw-logo.sh [OUTPUT]   (default src/components/gui/logo.bmp)
set -e
out=${1:-src/components/gui/logo.bmp}
tmp=$(mktemp --suffix=.bmp)
trap 'rm -f "$tmp"' EXIT
convert -size 147x120 xc:'#f0f0f0' \
  -fill '#1c3a78' -stroke black -strokewidth 2 -draw "roundrectangle 38,3 108,73 12,12" \
  -fill '#ffd21f' -stroke black -strokewidth 2 \
  -draw "polygon 80,9 52,44 70,44 60,68 94,32 76,32 88,9" \
  -stroke none -fill '#1c3a78' -font DejaVu-Sans-Bold -pointsize 24 -gravity north \
  -annotate +0+76 'Brevok' \
  -fill '#404040' -font DejaVu-Sans -pointsize 9 -gravity north \
  -annotate +0+105 'RESOURCE COMPILER' \
  -colors 256 -type Palette BMP3:"$tmp"
convert "$tmp" -compress None -type Palette BMP3:"$out"
