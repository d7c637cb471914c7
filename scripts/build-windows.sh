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
bash scripts/setup.sh cmake mingw-w64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 \
  googletest libcli11-dev locales

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
mkdir -p "$LOCPATH"
for locale in ru_RU en_US; do
  [ -d "$LOCPATH/$locale.UTF-8" ] || localedef -i "$locale" -f UTF-8 "$LOCPATH/$locale.UTF-8"
done

# The Linux grix-cli, to hold the Windows one to: the same project must
# give the same suite.
host=$work/host
cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=Release -DGRIX_BUILD_APP=OFF -DGRIX_BUILD_TESTS=OFF \
  "${launcher[@]}" >/dev/null
cmake --build "$host" -j "$jobs" --target grix-cli

# JAR entries carry the staging files' times; everything else must match.
same_but_times() {
  python3 - "$1" "$2" <<'PY'
import struct, sys
def without_times(path):
    b = bytearray(open(path, "rb").read())
    end = b.rfind(b"PK\x05\x06")
    size, at = struct.unpack_from("<II", b, end + 12)
    stop = at + size
    while at < stop:
        assert b[at:at + 4] == b"PK\x01\x02", path
        name, extra, comment = struct.unpack_from("<HHH", b, at + 28)
        local = struct.unpack_from("<I", b, at + 42)[0]
        b[at + 12:at + 16] = bytes(4)
        b[local + 10:local + 14] = bytes(4)
        at += 46 + name + extra + comment
    return bytes(b)
sys.exit(0 if without_times(sys.argv[1]) == without_times(sys.argv[2]) else 1)
PY
}

# One sample project in a Cyrillic program folder, with Cyrillic picture
# names, crossword name and texts: built from grix.ini and from arguments.
suite_of() {  # SIDE PROGRAM
  local side=$1 program=$2 run=()
  [ "$side" = windows ] && run=(wine)
  local folder=$compare/$side/Программа
  mkdir -p "$folder/Картинки"
  cp "$program" "$folder/"
  cp examples/*.bmp "$folder/Картинки/"
  mv "$folder/Картинки/heart.bmp" "$folder/Картинки/сердце.bmp"
  sed -e 's/^Edit2=.*/Edit2=Кроссворд/' -e 's/^Edit6=.*/Edit6=Восемь картинок: ёж, café/' \
      -e 's/^1\.1=.*/1.1=сердце.bmp/' -e 's/^1\.3=.*/1.3=Сердце/' examples/grix.ini \
      >"$folder/Картинки/проект.ini"
  local exe=$folder/$(basename "$program")
  (cd "$compare" && "${run[@]}" "$exe" build --project "$folder/Картинки/проект.ini" >/dev/null)
  (cd "$folder/Картинки" && "${run[@]}" "$exe" build --name "Ёлка №2" --info "Инфо" \
      --image "сердце.bmp" --note "Заметка" --image cat.bmp --note "Кот" >/dev/null)
}

status=0
compare=$work/compare
for locale in en_US ru_RU; do
  export LC_ALL=$locale.UTF-8
  echo "Running the tests under wine, locale $LC_ALL"
  for test in "$work"/grix/tests/*/*_test.exe; do
    name=$(basename "$test" .exe)
    folder=$(dirname "$test")/$name.work
    mkdir -p "$folder"
    if ! (cd "$folder" && wine "$test" --gtest_brief=1); then
      echo "FAILED: $name ($LC_ALL)" >&2
      status=1
    fi
  done

  echo "Comparing a suite built on Windows with the Linux build's, locale $LC_ALL"
  rm -rf "$compare"
  suite_of linux "$host/cli/grix-cli"
  suite_of windows "$work/grix/cli/grix-cli.exe"
  for name in Кроссворд "Ёлка №2"; do
    linux=$compare/linux/Программа/midlets/$name
    windows=$compare/windows/Программа/midlets/$name
    if ! cmp -s "$linux.jad" "$windows.jad" || ! same_but_times "$linux.jar" "$windows.jar"; then
      echo "FAILED: $name.jar or $name.jad differ between Linux and Windows ($LC_ALL)" >&2
      status=1
    fi
  done
done
unset LC_ALL
wineserver -k 2>/dev/null || true

cp "$work/grix/cli/grix-cli.exe" "$out/grix-cli.exe"
[ $status -eq 0 ] && echo "Windows build and tests passed: $out/grix-cli.exe"
exit $status
