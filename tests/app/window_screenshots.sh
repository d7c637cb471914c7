#!/usr/bin/env bash
# Screenshots of the window as authors meet it, on a virtual X server with a
# window manager, for a person to look at:
#
#   window_screenshots.sh GRIX SOURCE_DIR OUTPUT_DIR
#
# empty-project.png    a new project: the empty list with its hint
# mid-build.png        a 20-picture project while its build runs
# menu-file.png ...    each menu opened
# width-720.png        the window at its narrowest
# check-column.png     the check column and the ambiguity overlay
# fix-before.png       a picture with two solutions, its ambiguity marked
# fix-proposal.png     "Fix it" proposing the fewest cells, framed in blue
# fix-after.png        the fix applied, the puzzle unique
# drawing.png          a stroke being drawn on the preview
#
# The window works on copies in OUTPUT_DIR and keeps its own state there.
set -euo pipefail

if [ "${1:-}" = "--inside-xvfb" ]; then
    grix=$2 out=$3
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 1

    window_of() {  # the id of grix's main window once it is mapped
        local id=""
        for _ in $(seq 100); do
            id=$(xdotool search --onlyvisible --class "^Grix$" 2>/dev/null | head -1 || true)
            [ -n "$id" ] && break
            sleep 0.1
        done
        [ -n "$id" ] || { echo "the window did not appear" >&2; exit 1; }
        echo "$id"
    }
    shoot_window() { import -window "$1" "$out/$2"; }
    shoot_screen() { import -window root "$out/$1"; }

    # The empty project.
    "$grix" --project "$out/empty/grix.ini" &
    pid=$!
    id=$(window_of)
    sleep 1
    shoot_window "$id" empty-project.png
    # Every menu, each opened from the keyboard.
    for menu in f e b t h; do
        xdotool key --window "$id" "alt+$menu"
        sleep 0.5
        shoot_screen "menu-$menu.png"
        xdotool key Escape
        sleep 0.3
    done
    xdotool windowsize "$id" 720 553
    sleep 1
    shoot_window "$id" width-720.png
    kill "$pid"; wait "$pid" 2>/dev/null || true

    # The 20-picture project, its build caught while it runs.
    "$grix" --project "$out/twenty/grix.ini" &
    pid=$!
    id=$(window_of)
    sleep 4  # the checks run in the background
    shoot_window "$id" check-column.png
    xdotool key --window "$id" ctrl+b
    sleep 0.2
    shoot_window "$id" mid-build.png
    sleep 3
    shoot_window "$id" after-build.png
    kill "$pid"; wait "$pid" 2>/dev/null || true

    # Drawing and mending: the house with two cells too many.
    "$grix" --project "$out/mend/grix.ini" &
    pid=$!
    id=$(window_of)
    xdotool windowsize "$id" 1000 640
    xdotool windowmove "$id" 0 0  # whole on the screen, for the question's shot
    sleep 2
    shoot_window "$id" fix-before.png
    xdotool key --window "$id" alt+x
    sleep 2  # the search, then the question over the list
    # The window in its frame at the top left, the question over it.
    import -window root -crop 1002x666+0+0 +repage "$out/fix-proposal.png"
    xdotool key Return
    sleep 1
    shoot_window "$id" fix-after.png
    # Where the cells are: the grid lines' colour spans the whole canvas.
    read -r grid_width _ grid_x grid_y < <(convert "$out/fix-after.png" \
        -fill black +opaque "rgb(176,176,240)" -trim -format '%w %h %X %Y\n' info:)
    pitch=$((grid_width / 22))
    cell() { echo $((grid_x + pitch * $1 + pitch / 2)) $((grid_y + pitch * $2 + pitch / 2)); }
    # Three sides of a square in the sky, the button still down.
    xdotool mousemove --window "$id" $(cell 1 1) mousedown 1
    for step in "4 1" "4 4" "1 4" "1 2"; do
        sleep 0.2
        xdotool mousemove --window "$id" $(cell $step)
    done
    sleep 1
    shoot_window "$id" drawing.png
    xdotool mouseup 1
    kill "$pid"; wait "$pid" 2>/dev/null || true
    kill "$wm" 2>/dev/null || true
    exit 0
fi

grix=$1
source_dir=$2
out=$(realpath -m "$3")
rm -rf "$out"
mkdir -p "$out/empty" "$out/twenty" "$out/mend" "$out/config" "$out/home"

# Twenty pictures: a small one with two solutions first (selected when the
# project opens, so the overlay has cells to mark), seven samples that line
# logic solves, then twelve random ones, so the list shows verdicts of
# every kind.
cp "$source_dir"/examples/*.bmp "$out/twenty/"
# A frame with a diagonal pair inside: the pair can lie either way.
convert -size 16x16 xc:white -fill none -stroke black -draw "rectangle 0,0 15,15" \
    -stroke none -fill black -draw "point 6,6" -draw "point 7,7" \
    -draw "rectangle 3,10 12,12" -type bilevel "BMP3:$out/twenty/twins.bmp"
# Large enough that the build, which checks every picture, runs for a while.
size=${GRIX_SCREENSHOT_PICTURE_SIZE:-160x120}
for n in $(seq 1 12); do
    convert -size "$size" -seed "$n" plasma:fractal -colorspace gray -threshold 50% \
        -type bilevel "BMP3:$out/twenty/random$n.bmp"
done
{
    echo "[TEdit]"
    echo "Edit2=Twenty pictures"
    echo "[TCheckBox]"
    echo "CheckBox1=0"
    echo "ShowAmbiguity=1"
    echo "[TComboBox]"
    echo "ComboBox1=10"
    echo "[Table]"
    echo "RowCount=20"
    row=0
    for picture in "$out"/twenty/twins.bmp $(ls "$source_dir"/examples/*.bmp | head -7) \
        "$out"/twenty/random*.bmp; do
        row=$((row + 1))
        echo "$row.1=$picture"
        echo "$row.2=$(identify -format '%w * %h' "$picture")"
        echo "$row.3=Picture $(basename "$picture" .bmp)"
    done
} > "$out/twenty/grix.ini"

# The house sample with two cells more, which let the roof's corner lie
# either way; grid lines on, so that the cells can be told apart to draw.
convert "$source_dir/examples/house.bmp" -fill black -draw "point 18,2" -draw "point 19,0" \
    -type bilevel "BMP3:$out/mend/house.bmp"
printf '%s\n' "[TEdit]" "Edit2=Draw and mend" "[TCheckBox]" "CheckBox1=1" "ShowAmbiguity=1" \
    "[TComboBox]" "ComboBox1=10" "[Table]" "RowCount=1" "1.1=$out/mend/house.bmp" \
    "1.2=22 * 21" "1.3=House" > "$out/mend/grix.ini"

HOME="$out/home" XDG_CONFIG_HOME="$out/config" xvfb-run -a -s "-screen 0 1024x768x24" \
    bash "$0" --inside-xvfb "$grix" "$out"
for png in empty-project mid-build after-build check-column width-720 menu-f menu-e menu-b \
    menu-t menu-h fix-before fix-proposal fix-after drawing; do
    colours=$(identify -format '%k' "$out/$png.png")
    [ "$colours" -gt 16 ] || { echo "$png.png looks empty" >&2; exit 1; }
done
[ "$(identify -format '%w' "$out/width-720.png")" = 720 ] || { echo "not 720 wide" >&2; exit 1; }
echo "screenshots in $out"
