#!/usr/bin/env bash
# Writes the seed corpus of the import's fuzz targets (fuzz/corpus/png,
# jpeg and gif): small pictures in the variants the readers meet, drawn by
# ImageMagick. The committed seeds came from this script.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/corpus"
mkdir -p png jpeg gif
png_plain=(-define png:exclude-chunks=date,time)
draw=(-size 24x18 xc:white -fill black -draw "circle 12 9 12 3" -fill red -draw "rectangle 1 1 6 16")
convert "${draw[@]}" -depth 8 -define png:color-type=2 "${png_plain[@]}" png/rgb.png
convert "${draw[@]}" -alpha set -channel A -evaluate set 60% +channel -depth 8 -define png:color-type=6 "${png_plain[@]}" png/rgba.png
convert "${draw[@]}" -colors 4 -transparent white "${png_plain[@]}" PNG8:png/palette_trns.png
convert "${draw[@]}" -colorspace gray -depth 16 -interlace PNG "${png_plain[@]}" png/grey16_interlaced.png
convert "${draw[@]}" -colorspace gray -depth 1 "${png_plain[@]}" png/grey1.png
convert "${draw[@]}" -quality 85 jpeg/baseline_420.jpg
convert "${draw[@]}" -quality 90 -interlace JPEG jpeg/progressive.jpg
convert "${draw[@]}" -colorspace gray jpeg/grey.jpg
convert "${draw[@]}" -colorspace cmyk jpeg/cmyk.jpg
convert "${draw[@]}" -sampling-factor 4:2:2 -define jpeg:restart-interval=1 jpeg/422_restart.jpg
convert "${draw[@]}" gif/plain.gif
convert "${draw[@]}" -transparent white -interlace GIF gif/transparent_interlaced.gif
convert -delay 10 -size 16x12 xc:black -size 16x12 xc:white -page +4+2 -size 8x6 xc:red gif/animated.gif
# A photo stored on its side: an Exif block saying "turn a quarter clockwise".
python3 - jpeg/baseline_420.jpg jpeg/exif_orientation6.jpg <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
tiff = b"MM\x00\x2a" + struct.pack(">IH", 8, 1) + struct.pack(">HHIHH", 0x0112, 3, 1, 6, 0) + b"\x00" * 4
segment = b"\xff\xe1" + struct.pack(">H", 2 + 6 + len(tiff)) + b"Exif\x00\x00" + tiff
open(sys.argv[2], "wb").write(data[:2] + segment + data[2:])
PY
