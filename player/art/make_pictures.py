#!/usr/bin/env python3
"""Draws the player's pictures and writes them as small palette PNGs.

The pictures are pixel art, so they are written as text grids here and turned
into indexed PNGs with only the chunks a phone needs (IHDR, PLTE, tRNS when a
colour is transparent, IDAT, IEND). Each picture keeps its palette as short as
its colours allow and the bit depth as low as the palette allows; the smallest
of the PNG row filters is kept per picture. Output is byte-for-byte stable for
a given zlib, so the committed files can be checked against this script.

Usage: make_pictures.py OUTDIR
"""
import struct
import sys
import zlib
from pathlib import Path

# Palette letters shared by all pictures; '.' is transparent.
COLOURS = {
    '.': None,
    'k': (0x10, 0x1c, 0x3c),  # ink: deep navy
    'b': (0x2e, 0x5c, 0xa8),  # frame blue
    'l': (0x9c, 0xc4, 0xf0),  # light blue
    'w': (0xff, 0xff, 0xff),  # white
    'p': (0xf6, 0xf1, 0xe2),  # paper
    'o': (0xf0, 0x8c, 0x1c),  # orange
    'y': (0xff, 0xd8, 0x40),  # yellow
    'r': (0xd8, 0x30, 0x30),  # red
}

# The suite icon: a little nonogram sheet with a red heart in it.
LOGO = """
.bbbbbbbbbbbbbb.
bbbbbbbbbbbbbbbb
bbppppppppppppbb
bbpprrpppprrppbb
bbprrrrpprrrrpbb
bbprrrrrrrrrrpbb
bbprrrrrrrrrrpbb
bbprrrrrrrrrrpbb
bbpprrrrrrrrppbb
bbppprrrrrrpppbb
bbpppprrrrppppbb
bbppppprrpppppbb
bbppppppppppppbb
bbbbbbbbbbbbbbbb
bbbbbbbbbbbbbbbb
.bbbbbbbbbbbbbb.
"""

# The pointer that marks the chosen line of a list or menu.
POINT = """
kk.....
kyk....
kyyk...
kyyyk..
kyyyyk.
kyyyyyk
kyyyyk.
kyyyk..
kyyk...
kyk....
kk.....
"""

# Four phases of a turning, twinkling snowflake for the win screen.
SNOW = [
    """
....l....
.l..w..l.
..w.w.w..
...www...
lwwwwwwwl
...www...
..w.w.w..
.l..w..l.
....l....
""",
    """
.........
...l.l...
.l..w..l.
..wwwww..
..wwlww..
..wwwww..
.l..w..l.
...l.l...
.........
""",
    """
l...w...l
.w..w..w.
..w.w.w..
...www...
wwwwlwwww
...www...
..w.w.w..
.w..w..w.
l...w...l
""",
    """
.........
....w....
..l.w.l..
...www...
.wwwwwww.
...www...
..l.w.l..
....w....
.........
""",
]


def chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)


def pack_rows(rows, depth):
    per_byte = 8 // depth
    out = []
    for row in rows:
        line = bytearray()
        for start in range(0, len(row), per_byte):
            group = row[start:start + per_byte]
            value = 0
            for i in range(per_byte):
                value = (value << depth) | (group[i] if i < len(group) else 0)
            line.append(value)
        out.append(bytes(line))
    return out


def filtered(lines, kind):
    """Applies one PNG filter (0 none, 1 sub, 2 up) to every line; bpp is 1."""
    result = bytearray()
    previous = bytes(len(lines[0]))
    for line in lines:
        result.append(kind)
        for i, value in enumerate(line):
            if kind == 1:
                value = (value - (line[i - 1] if i else 0)) & 0xFF
            elif kind == 2:
                value = (value - previous[i]) & 0xFF
            result.append(value)
        previous = line
    return bytes(result)


def png(art):
    grid = [line for line in art.strip('\n').split('\n')]
    width, height = len(grid[0]), len(grid)
    if any(len(line) != width for line in grid):
        raise ValueError('ragged picture')
    # Transparent first, so tRNS stays one byte long.
    letters = sorted(set(''.join(grid)), key=lambda c: (c != '.', list(COLOURS).index(c)))
    index = {c: i for i, c in enumerate(letters)}
    depth = next(d for d in (1, 2, 4, 8) if len(letters) <= 1 << d)
    lines = pack_rows([[index[c] for c in line] for line in grid], depth)
    best = min((zlib.compress(filtered(lines, k), 9) for k in (0, 1, 2)), key=len)
    palette = b''.join(bytes(COLOURS[c] if COLOURS[c] else (0, 0, 0)) for c in letters)
    parts = [b'\x89PNG\r\n\x1a\n',
             chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, depth, 3, 0, 0, 0)),
             chunk(b'PLTE', palette)]
    if '.' in letters:
        parts.append(chunk(b'tRNS', b'\x00'))
    parts += [chunk(b'IDAT', best), chunk(b'IEND', b'')]
    return b''.join(parts)


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_pictures.py OUTDIR')
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    pictures = {'logo.png': LOGO, 'point.png': POINT}
    pictures.update({'snow%d.png' % i: art for i, art in enumerate(SNOW)})
    for name, art in pictures.items():
        (out / name).write_bytes(png(art))


if __name__ == '__main__':
    main()
