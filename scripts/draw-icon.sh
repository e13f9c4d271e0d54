#!/bin/sh
# Renders the program icon resources/images/brevok.svg into brevok16.png, brevok32.png, the
# two-size resources/brevok.ico, and the sizes of the desktop's icon theme that make install
# puts in share/icons/hicolor (resources/icons/hicolor/NxN/apps/brevok.png; the SVG itself is
# the scalable one). Needs rsvg-convert (librsvg2-bin) and ImageMagick.
# The outputs are committed, so the build itself never runs this.
set -e
cd "$(dirname "$0")/.."
rsvg-convert -w 16 -h 16 resources/images/brevok.svg -o resources/images/brevok16.png
rsvg-convert -w 32 -h 32 resources/images/brevok.svg -o resources/images/brevok32.png
convert resources/images/brevok16.png resources/images/brevok32.png resources/brevok.ico
for size in 16 32 48 64 128 256; do
  mkdir -p resources/icons/hicolor/${size}x${size}/apps
  rsvg-convert -w $size -h $size resources/images/brevok.svg -o resources/icons/hicolor/${size}x${size}/apps/brevok.png
done
