#!/usr/bin/env bash
# Cross-builds the library, grix-cli.exe and the C++ tests for 64-bit
# Windows with mingw-w64, runs the tests under wine with the ANSI code pages
# 1252 (Western) and 1251 (Cyrillic), and leaves OUTDIR/grix-cli.exe.
#   bash scripts/build-windows.sh OUTDIR
# The window is not built: Qt for Windows is not packaged for Debian.
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: bash scripts/build-windows.sh OUTDIR" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)
cd "$root"

# The cross tool chain, zlib for the target, wine to run what it builds,
# GoogleTest's sources and the CLI11 headers (both compiled for the target
# here), and locale data for wine's code pages.
wanted=(cmake mingw-w64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64
        googletest libcli11-dev locales)
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Please run as root or install sudo: missing packages: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
  fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

work=$root/build/windows
toolchain=$root/cmake/mingw-w64-x86_64.cmake
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
jobs=$(nproc)

# wine keeps its own prefix in the build tree, quiet, never asking to
# install Mono or Gecko (nothing here needs them).
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$work"

# GoogleTest, from the sources Debian ships, for the target.
prefix=$work/prefix
if [ ! -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$work/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF \
    "${launcher[@]}" >/dev/null
  cmake --build "$work/googletest" -j "$jobs"
  cmake --install "$work/googletest" >/dev/null
fi

# CLI11 is header-only: its folder alone, so that no other host header
# reaches the target's compiler.
mkdir -p "$work/cli11"
ln -sfn /usr/include/CLI "$work/cli11/CLI"

export GRIX_WINDOWS_PREFIX=$prefix
cmake -S . -B "$work/grix" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DGRIX_WERROR=ON -DGRIX_BUILD_APP=OFF -DGRIX_CLI11_INCLUDE="$work/cli11" \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST "${launcher[@]}" >/dev/null
cmake --build "$work/grix" -j "$jobs"

# wine takes its ANSI code page from the locale: Russian gives 1251,
# American English 1252. The locales are compiled into the build tree.
export LOCPATH=$work/locale
for locale in ru_RU en_US; do
  [ -d "$LOCPATH/$locale.UTF-8" ] || localedef -i "$locale" -f UTF-8 "$LOCPATH/$locale.UTF-8"
done

status=0
for locale in en_US ru_RU; do
  echo "Running the tests under wine, locale $locale.UTF-8"
  for test in "$work"/grix/tests/*/*_test.exe; do
    name=$(basename "$test" .exe)
    folder=$(dirname "$test")/$name.work
    mkdir -p "$folder"
    if ! (cd "$folder" && LC_ALL=$locale.UTF-8 wine "$test" --gtest_brief=1); then
      echo "FAILED: $name ($locale)" >&2
      status=1
    fi
  done
done
wineserver -k 2>/dev/null || true

cp "$work/grix/cli/grix-cli.exe" "$out/grix-cli.exe"
[ $status -eq 0 ] && echo "Windows build and tests passed: $out/grix-cli.exe"
exit $status
