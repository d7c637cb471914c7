#!/usr/bin/env bash
# Builds the phone-side player: the seven class files and six pictures that
# every suite carries, written to OUTDIR. Deterministic: the same sources give
# the same bytes. Needs ecj, java (for the checker and ProGuard), python3 and
# proguard; no network.
#
# Usage: player/build.sh OUTDIR
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: build.sh OUTDIR" >&2
  exit 2
fi
source "$(dirname "${BASH_SOURCE[0]}")/toolchain.sh"
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build_stubs "$work"
build_checker "$work"

mkdir -p "$work/classes" "$work/shrunk"
ecj -source 1.3 -target cldc1.1 -g:none -bootclasspath "$work/stubs.jar" -d "$work/classes" \
  $(LC_ALL=C ls "$player_dir"/src/*.java) \
  || { echo "build: the player does not compile" >&2; exit 1; }
make_jar "$work/classes" "$work/classes.jar"
if ! proguard -injars "$work/classes.jar" -outjars "$work/shrunk.jar" -libraryjars "$work/stubs.jar" \
    @"$player_dir/proguard.pro" > "$work/proguard.log" 2>&1; then
  cat "$work/proguard.log" >&2
  echo "build: ProGuard failed" >&2
  exit 1
fi
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
  "$work/shrunk.jar" "$work/shrunk"
run_checker "$work" "$work/shrunk"

mkdir -p "$out"
# The payload's files in their fixed order, one list for every script.
files=$(cat "$player_dir/../payload/files.txt")
for f in $files; do
  case $f in
    *.png) cp "$player_dir/res/$f" "$out/$f" ;;
    *) cp "$work/shrunk/$f" "$out/$f" ;;
  esac
done

# Sizes, and the total as a JAR would store it (raw deflate, level 9).
python3 - "$out" $files <<'PY'
import os, sys, zlib
out, names = sys.argv[1], sys.argv[2:]
raw = packed = 0
for n in names:
    data = open(os.path.join(out, n), 'rb').read()
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    d = len(c.compress(data) + c.flush())
    raw += len(data)
    packed += min(d, len(data))
    print('%-20s %6d bytes' % (n, len(data)))
print('%-20s %6d bytes raw, %d deflated' % ('total', raw, packed))
if raw > 39390 or packed > 20000:
    sys.exit('build: the player is over its size budget (39390 raw, 20000 deflated)')
PY
