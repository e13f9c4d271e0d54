#!/bin/sh
# Renders the program icon resources/images/brevok.svg into brevok16.png, brevok32.png and
# the two-size resources/brevok.ico. Needs rsvg-convert (librsvg2-bin) and ImageMagick.
# The outputs are committed, so the build itself never runs this.
set -e
cd "$(dirname "$0")/.."
rsvg-convert -w 16 -h 16 resources/images/brevok.svg -o resources/images/brevok16.png
rsvg-convert -w 32 -h 32 resources/images/brevok.svg -o resources/images/brevok32.png
convert resources/images/brevok16.png resources/images/brevok32.png resources/brevok.ico
