#!/bin/sh
# Gathers the published puzzles the check's benchmark is measured on that
# may not be shipped with Grix, into FOLDER (default: build/puzzles):
#   dom/      the "n-Dom" family, 3-Dom to 30-Dom, generated here from its
#             construction (a staircase of "3 1" rows over "1 3" columns);
#   webpbn/   the webpbn.com survey puzzles whose designers keep their
#             copyright (downloaded for personal use from webpbn.com's
#             export page), and the free ones this folder does not hold;
#   jwilk/    Jakub Wilk's example set (its data/*.nin files);
#   gecode/   Gecode's examples/nonogram.cpp, whose clue tables
#             puzzle_bench reads as they are.
# Then: GRIX_PUZZLES=FOLDER puzzle_bench --benchmark_filter=Published
# (with this folder's own puzzles: GRIX_PUZZLES=bench/puzzles).
# Needs curl, and git for Jakub Wilk's set. Nothing here runs at build time.
set -eu

out=${1:-build/puzzles}
mkdir -p "$out/dom" "$out/webpbn" "$out/jwilk" "$out/gecode"

# n-Dom is (2n + 1) a side: rows "3", "1", then n - 1 pairs "3 1", "1",
# then "1"; the columns are the rows mirrored ("1 3" for "3 1").
for n in 3 4 5 6 7 8 9 10 11 12 15 20 25 30; do
    side=$((2 * n + 1))
    file="$out/dom/dom-$(printf %02d "$n").non"
    {
        printf 'title "%d-Dom"\nwidth %d\nheight %d\n\nrows\n3\n1\n' "$n" "$side" "$side"
        i=1
        while [ "$i" -lt "$n" ]; do printf '3,1\n1\n'; i=$((i + 1)); done
        printf '1\n\ncolumns\n1\n1\n'
        i=1
        while [ "$i" -lt "$n" ]; do printf '1,3\n1\n'; i=$((i + 1)); done
        printf '3\n'
    } >"$file"
done

# The survey's black-and-white puzzles, by webpbn number.
for id in 803 1611 1694 2040 2413 2556 2712 3541 4645 6739 7604 8098 9892 10088 10810 \
    12548 18297 22336; do
    file="$out/webpbn/webpbn-$(printf %05d "$id").non"
    [ -s "$file" ] || curl -fsS https://webpbn.com/export.cgi \
        --data "id=$id&fmt=non&go=1" -o "$file" || echo "webpbn #$id: not downloaded" >&2
done

if [ ! -d "$out/jwilk/.git" ]; then
    git clone -q --depth 1 https://github.com/jwilk-archive/nonogram "$out/jwilk"
fi

[ -s "$out/gecode/nonogram.cpp" ] || curl -fsS -o "$out/gecode/nonogram.cpp" \
    https://raw.githubusercontent.com/Gecode/gecode/release/6.2.0/examples/nonogram.cpp
