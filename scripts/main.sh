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
# One crossword per sample picture, each with its name as the note.
args=()
for picture in examples/*.bmp; do
  args+=(--image "$picture" --note "$(basename "$picture" .bmp)")
done
"$cli" build --name "Grix samples" --info "Sample crosswords drawn for Grix" "${args[@]}"

suite="$(cd "$build/cli" && pwd)/midlets"
echo
echo "The suite is ready for a phone:"
echo "  JAR: $suite/Grix samples.jar"
echo "  JAD: $suite/Grix samples.jad"
