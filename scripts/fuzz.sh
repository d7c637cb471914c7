#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 30) over a copy of its seed corpus (fuzz/corpus/<name without fuzz_>).
# New inputs go to build/fuzz/work/, never into the committed corpus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-30}
build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIX_FUZZ=ON \
  -DGRIX_BUILD_APP=OFF -DGRIX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
# Every target runs, or the run fails saying why: a fuzz run that quietly
# did nothing would look like a clean one.
ran=0
for source in fuzz/fuzz_*.cpp; do
  name=$(basename "$source" .cpp)
  target="$build/fuzz/$name"
  corpus="fuzz/corpus/${name#fuzz_}"
  [ -x "$target" ] || { echo "$name was not built ($target is missing)" >&2; exit 1; }
  [ -d "$corpus" ] || { echo "$name has no seed corpus: $corpus is missing" >&2; exit 1; }
  work="$build/work/$name"
  mkdir -p "$work"
  echo "Fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    "$work" "$corpus" 2>"$build/work/$name.log" || { tail -n 60 "$build/work/$name.log"; exit 1; }
  units=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/work/$name.log")
  echo "stat::number_of_executed_units: ${units:-0}"
  [ "${units:-0}" -gt 0 ] || { echo "$name ran no inputs" >&2; exit 1; }
  ran=$((ran + 1))
done
[ "$ran" -gt 0 ] || { echo "No fuzz targets found in fuzz/" >&2; exit 1; }
