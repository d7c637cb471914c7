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
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="fuzz/corpus/${name#fuzz_}"
  work="$build/work/$name"
  mkdir -p "$work"
  echo "Fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    "$work" "$corpus" 2>"$build/work/$name.log" || { tail -n 60 "$build/work/$name.log"; exit 1; }
  grep -E '^stat::number_of_executed_units' "$build/work/$name.log" || true
done
