#!/usr/bin/env bash
# Builds the sample crossword with grix-cli and checks the suite from the
# outside: unzip and the JDK's jar accept the JAR, the JAD names its size,
# cfg.dat inside equals the pack written for the same pictures, and the
# player's own reader sees every picture exactly as grix-cli cells does.
# Usage: suite_end_to_end.sh GRIX_CLI EXAMPLES WORKDIR PACKDUMP...
set -euo pipefail
cli=$1 examples=$2 work=$3
shift 3
packdump=("$@")

rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

pictures=(cat house heart fish tree boat umbrella star)
args=()
for p in "${pictures[@]}"; do
  args+=(--image "$examples/$p.bmp" --note "Нота $p")
done
name="E2E Кот"
info="Сделано Grix"

# grix-cli builds beside itself, like the window.
app=$(dirname "$(readlink -f "$cli")")
rm -f "$app/midlets/$name.jar" "$app/midlets/$name.jad"
"$cli" build --name "$name" --info "$info" "${args[@]}" >"$work/build.log" \
  || { cat "$work/build.log"; fail "grix-cli build failed"; }
tail -n 1 "$work/build.log" | grep -q '^Process successfully ended at [0-9][0-9]:[0-9][0-9]:[0-9][0-9]$' \
  || fail "no success line"
jar="$app/midlets/$name.jar"
jad="$app/midlets/$name.jad"

unzip -tq "$jar" >/dev/null || fail "unzip -t rejects the JAR"
jar tf "$jar" >"$work/jar-list" || fail "jar tf rejects the JAR"
for entry in TGrixMIDlet.class TCanvasInit.class TCanvas.class TNokiaCanvas.class TBoard.class \
             TConfig.class TSprite.class logo.png point.png snow0.png snow1.png snow2.png \
             snow3.png cfg.dat META-INF/ META-INF/MANIFEST.MF; do
  grep -qx -- "$entry" "$work/jar-list" || fail "$entry missing from the JAR"
done
[ "$(wc -l <"$work/jar-list")" -eq 16 ] || fail "unexpected entries: $(cat "$work/jar-list")"

# An installer that streams the JAR finds the manifest only when it comes
# first; the same Java command as PackDump, another class.
jarstream=("${packdump[@]}")
jarstream[-1]=JarStream
"${jarstream[@]}" "$jar" >"$work/stream-list" || fail "Java's streaming JAR reader finds no manifest"
[ "$(head -n 1 "$work/stream-list")" = "MIDlet-1: $name, /logo.png, TGrixMIDlet" ] \
  || fail "streamed manifest: $(head -n 1 "$work/stream-list")"
[ "$(head -n 2 "$work/jar-list" | tr '\n' ' ')" = "META-INF/ META-INF/MANIFEST.MF " ] \
  || fail "the manifest is not the first entry: $(head -n 2 "$work/jar-list")"
[ "$(wc -l <"$work/stream-list")" -eq 15 ] || fail "the streaming reader saw: $(cat "$work/stream-list")"

size=$(stat -c %s "$jar")
grep -q $'^MIDlet-Jar-Size: '"$size"$'\r$' "$jad" || fail "the JAD does not carry the JAR's size $size"
grep -q $'^MIDlet-Jar-URL: E2E%20%D0%9A%D0%BE%D1%82.jar\r$' "$jad" || fail "the JAD does not name the JAR"

mkdir -p "$work/x"
(cd "$work/x" && jar xf "$jar") || fail "jar xf failed"
"$cli" pack --out "$work/expected.dat" --info "$info" "${args[@]}"
cmp "$work/x/cfg.dat" "$work/expected.dat" || fail "cfg.dat differs from the pack of the same pictures"

# What the player reads, against what the desktop side sees.
"${packdump[@]}" "$work/x/cfg.dat" >"$work/player-view.txt" || fail "the player's reader refused cfg.dat"
{
  echo "${#pictures[@]}"
  echo "$info"
  for p in "${pictures[@]}"; do
    "$cli" cells "$examples/$p.bmp"
    echo "Нота $p"
  done
} >"$work/desktop-view.txt"
diff -u "$work/desktop-view.txt" "$work/player-view.txt" || fail "the player reads the pack differently"

# Odd sizes through the same two readers: rows that do not end on a byte,
# a single cell, a picture of no cells at all, one of many.
odd=()
while read -r w h; do
  f="$work/odd-${w}x${h}.bmp"
  if [ "$w" = 0 ]; then
    : >"$f"  # a 0-byte file is a picture of no cells
  else
    python3 - "$f" "$w" "$h" <<'PY'
import struct, sys
path, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
row = (w * 3 + 3) // 4 * 4
pixels = bytearray()
for y in range(h - 1, -1, -1):  # bottom row first
    line = bytearray()
    for x in range(w):
        line += b"\0\0\0" if (x * 7 + y * 3) % 5 < 2 else b"\xff\xff\xff"
    pixels += line + b"\0" * (row - len(line))
head = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 0, 0, 0, 0)
open(path, "wb").write(head + info + pixels)
PY
  fi
  odd+=(--image "$f" --note "$w на $h")
done <<'SIZES'
1 1
3 3
2 4
7 5
0 0
200 200
SIZES
"$cli" pack --out "$work/odd.dat" --info "Нечётные" "${odd[@]}"
"${packdump[@]}" "$work/odd.dat" >"$work/odd-player.txt" || fail "the player's reader refused the odd sizes"
{
  echo 6
  echo "Нечётные"
  for wh in "1 1" "3 3" "2 4" "7 5" "0 0" "200 200"; do
    set -- $wh
    "$cli" cells "$work/odd-${1}x${2}.bmp"
    echo "$1 на $2"
  done
} >"$work/odd-desktop.txt"
diff -u "$work/odd-desktop.txt" "$work/odd-player.txt" || fail "the player reads odd sizes differently"

rm -f "$jar" "$jad"
echo "suite end to end: 1 passed, 0 failed"
