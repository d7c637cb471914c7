#!/usr/bin/env bash
# Sets everything up, builds Grix and runs it on the sample crossword in examples/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

build=build/release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRIX_BUILD_TESTS=OFF
cmake --build "$build" -j "$(nproc)"

cli="$build/cli/grix-cli"
for picture in examples/*.bmp; do
  echo "== $picture"
  "$cli" cells "$picture"
done
# One crossword per sample picture, each with its name as the note.
pack_args=()
for picture in examples/*.bmp; do
  pack_args+=(--image "$picture" --note "$(basename "$picture" .bmp)")
done
"$cli" pack --out "$build/cfg.dat" --info "Grix sample crossword" "${pack_args[@]}"
echo "Crossword pack written: $build/cfg.dat ($(wc -c < "$build/cfg.dat") bytes)"
