#!/usr/bin/env bash
# Sets everything up and runs every test: a short run of each fuzz target,
# then the C++ suite under AddressSanitizer and UBSan with warnings as errors,
# the player's Java tests, and the cross-checks against independent readers
# (unzip, Python's zipfile, jar, Pillow); last the Windows build, its tests
# under wine and its suites compared with the Linux build's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

build=build/test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DGRIX_WERROR=ON -DGRIX_SANITIZE=ON \
  -DGRIX_JAVA_TESTS=ON -DGRIX_BUILD_BENCH=ON
cmake --build "$build" -j "$(nproc)"
# A short run of every fuzz target (clang, ASan+UBSan) before the suite.
bash scripts/fuzz.sh "${GRIX_FUZZ_SECONDS:-30}"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

bash scripts/build-windows.sh build/windows/out
