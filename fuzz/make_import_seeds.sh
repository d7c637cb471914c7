#!/usr/bin/env bash
# Writes the seed corpus of the import's fuzz targets (fuzz/corpus/png,
# jpeg and gif): small pictures in the variants the readers meet, drawn by
# ImageMagick. The committed seeds came from this script.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/corpus"
mkdir -p png jpeg gif
draw=(-size 24x18 xc:white -fill black -draw "circle 12 9 12 3" -fill red -draw "rectangle 1 1 6 16")
convert "${draw[@]}" -depth 8 -define png:color-type=2 png/rgb.png
convert "${draw[@]}" -alpha set -channel A -evaluate set 60% +channel -depth 8 -define png:color-type=6 png/rgba.png
convert "${draw[@]}" -colors 4 -transparent white PNG8:png/palette_trns.png
convert "${draw[@]}" -colorspace gray -depth 16 -interlace PNG png/grey16_interlaced.png
convert "${draw[@]}" -colorspace gray -depth 1 png/grey1.png
convert "${draw[@]}" -quality 85 jpeg/baseline_420.jpg
convert "${draw[@]}" -quality 90 -interlace JPEG jpeg/progressive.jpg
convert "${draw[@]}" -colorspace gray jpeg/grey.jpg
convert "${draw[@]}" -colorspace cmyk jpeg/cmyk.jpg
convert "${draw[@]}" -sampling-factor 4:2:2 -define jpeg:restart-interval=1 jpeg/422_restart.jpg
convert "${draw[@]}" gif/plain.gif
convert "${draw[@]}" -transparent white -interlace GIF gif/transparent_interlaced.gif
convert -delay 10 -size 16x12 xc:black -size 16x12 xc:white -page +4+2 -size 8x6 xc:red gif/animated.gif
