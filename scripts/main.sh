#!/usr/bin/env bash
# Sets everything up, builds Grix and opens the sample crossword project of
# examples/ in the window: press "Start" (or Ctrl+B) to build its suite.
#
# The sample (examples/grix.ini and its pictures) is copied to
# build/release/sample and opened from there, so the window saves its
# changes to that copy, never to the source tree; every run starts from a
# fresh copy. Where there is no display, the sample is built without the
# window by grix-cli instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRIX_BUILD_TESTS=OFF -DGRIX_BUILD_APP=ON
cmake --build "$build" -j "$(nproc)"

sample="$root/$build/sample"
rm -rf "$sample"
mkdir -p "$sample"
cp examples/grix.ini examples/*.bmp "$sample/"

has_display=yes
if [ "$(uname -s)" = "Linux" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  has_display=no
fi

if [ "$has_display" = yes ]; then
  echo "Opening the sample project $sample/grix.ini"
  echo "Suites are written to $root/$build/app/midlets"
  exec "$build/app/grix" --project "$sample/grix.ini"
fi

echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): building the sample without the window."
cli="$build/cli/grix-cli"
"$cli" build --project "$sample/grix.ini"

suite="$(cd "$build/cli" && pwd)/midlets"
echo
echo "The suite is ready for a phone:"
echo "  JAR: $suite/Grix sample.jar"
echo "  JAD: $suite/Grix sample.jad"
