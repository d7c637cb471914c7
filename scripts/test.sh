#!/usr/bin/env bash
# Sets everything up and runs every test: a short run of each fuzz target,
# then the C++ suite under AddressSanitizer and UBSan with warnings as errors,
# the player's Java tests, the cross-checks against independent readers
# (unzip, Python's zipfile, jar, Pillow), the Debian package: built,
# checked by lintian, installed, used and removed; and the Windows build,
# its tests run under wine and its suites compared with the Linux build's.
#
# A check that cannot run here (a tool missing, no root to install the
# package) is reported as skipped at the end. In CI (CI set, as CI sets
# CI=true) a skip fails the run instead, naming what did not run and why.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

skipped=()
cannot_run() {  # WHAT WHY
  skipped+=("$1: $2")
  if [ -n "${CI:-}" ]; then
    echo "CI treats a skipped check as a failure: $1 did not run: $2" >&2
    exit 1
  fi
}

build=build/test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DGRIX_WERROR=ON -DGRIX_SANITIZE=ON \
  -DGRIX_JAVA_TESTS=ON -DGRIX_BUILD_BENCH=ON
cmake --build "$build" -j "$(nproc)"
# A short run of every fuzz target (clang, ASan+UBSan) before the suite.
bash scripts/fuzz.sh "${GRIX_FUZZ_SECONDS:-30}"

export QT_QPA_PLATFORM=offscreen
report="$root/$build/ctest-report.xml"
rm -f "$report"
status=0
# The suite runs with a home folder whose Grix settings are deliberately odd
# (a tiny window, a missing recent project, junk values): the tests must
# neither depend on them nor change them.
home="$root/$build/odd-home"
rm -rf "$home"
mkdir -p "$home/.config/Tarnfield"
odd="$home/.config/Tarnfield/Grix.conf"
cat >"$odd" <<'CONF'
[General]
recentProjects=/nonexistent/odd project.ini, /tmp
[window]
geometry=@ByteArray(not a geometry)
splitter1=@ByteArray(\0\0\0\xff)
columns=12345
[import]
size=@Size(1 1)
CONF
before=$(cd "$home" && find . -type f | sort | xargs sha256sum)
HOME="$home" XDG_CONFIG_HOME="$home/.config" \
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --output-junit "$report" || status=$?
after=$(cd "$home" && find . -type f | sort | xargs sha256sum)
if [ "$before" != "$after" ]; then
  echo "The tests changed the user's settings in $home:" >&2
  diff <(echo "$before") <(echo "$after") >&2 || true
  exit 1
fi
[ -f "$report" ] || { echo "CTest wrote no report ($report)" >&2; exit 1; }
python3 scripts/skipped-tests.py "$report" >"$build/not-run.txt"
mapfile -t not_run <"$build/not-run.txt"
if [ ${#not_run[@]} -gt 0 ]; then
  printf 'Did not run: %s\n' "${not_run[@]}" >&2
  for test in "${not_run[@]}"; do skipped+=("$test"); done
  if [ -n "${CI:-}" ]; then
    echo "CI treats a skipped test as a failure: ${#not_run[@]} test(s) did not run (listed above)." >&2
    exit 1
  fi
fi
[ "$status" -eq 0 ] || exit "$status"

# The Debian package, as users install it.
rm -rf "$build/package"
bash scripts/package.sh "$build/package"
deb=$(ls "$build"/package/grix_*.deb)
lintian --fail-on error "$deb"
if [ "$(id -u)" -eq 0 ] || [ -n "${CI:-}" ]; then
  bash tests/packaging/install_check.sh "$deb" examples "$build/install-check"
else
  cannot_run "the package's install check" "it installs the package with dpkg -i; run as root"
fi

# grix-cli.exe and the C++ tests cross-built for Windows, run under wine.
bash scripts/build-windows.sh build/windows/out

if [ ${#skipped[@]} -gt 0 ]; then
  echo
  echo "Passed, but these did not run here (CI would fail on them):"
  printf '  %s\n' "${skipped[@]}"
fi
