#!/usr/bin/env bash
# Opens grix with the sample project on a virtual X server, captures its
# window as a PNG and checks that the capture shows the drawn window.
#
#   screenshot.sh GRIX SOURCE_DIR OUTPUT_DIR
#
# The sample is copied into OUTPUT_DIR first, so the window works on (and
# may save) a copy, never on the source tree.
set -euo pipefail

if [ "${1:-}" = "--inside-xvfb" ]; then
    # Runs on the virtual server: start grix, wait for its window, capture it.
    grix=$2 project=$3 png=$4
    "$grix" --project "$project" &
    pid=$!
    id=""
    for _ in $(seq 100); do
        id=$(xwininfo -root -tree | awk '/ Grix": \("grix"/ { print $1; exit }')
        [ -n "$id" ] && break
        sleep 0.1
    done
    if [ -z "$id" ]; then
        echo "the window did not appear" >&2
        kill "$pid" 2>/dev/null || true
        exit 1
    fi
    sleep 1  # the first activation loads the project and draws the preview
    import -window "$id" "$png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    exit 0
fi

grix=$1
source_dir=$2
out=$3
rm -rf "$out/sample"
mkdir -p "$out/sample"
cp "$source_dir"/examples/grix.ini "$source_dir"/examples/*.bmp "$out/sample/"
png="$out/grix-window.png"
rm -f "$png"

# The window's own state (size, recent projects) in a scratch home: the
# user's settings neither change the capture nor are changed by it.
rm -rf "$out/home"
mkdir -p "$out/home/.config"
HOME="$out/home" XDG_CONFIG_HOME="$out/home/.config" xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inside-xvfb "$grix" "$out/sample/grix.ini" "$png"

size=$(identify -format '%w %h' "$png")
colours=$(identify -format '%k' "$png")
echo "captured $png: $size, $colours colours"
[ "$size" = "793 553" ] || { echo "unexpected window size $size" >&2; exit 1; }
[ "$colours" -gt 16 ] || { echo "the capture looks empty" >&2; exit 1; }
