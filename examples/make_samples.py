#!/usr/bin/env python3
"""Draws the sample pictures in examples/ and writes each as a BMP file.

Every motif is drawn as text, one character per cell, with a colour for each
character. Each picture is written in a different variant of the BMP format,
so that the samples exercise the reader as well as show what Grix makes of a
picture:

    cat.bmp       1 bit, colour table (white, black)
    house.bmp     4 bits, run-length encoded (BI_RLE4)
    heart.bmp     8 bits, run-length encoded (BI_RLE8), rows cut short by
                  end-of-line codes
    fish.bmp      16 bits, bit fields 5-6-5 (BI_BITFIELDS)
    tree.bmp      24 bits, top row stored first
    boat.bmp      32 bits, 124-byte header
    umbrella.bmp  8 bits, 12-byte core header with 3-byte table entries
    star.bmp      16 bits, 5-5-5 (BI_RGB)

Light background tints (all three channels 225 or more) are empty cells;
everything darker is ink.

Python 3 standard library only. Run from anywhere:
    python3 examples/make_samples.py
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def mirrored(half_rows):
    """Full rows from left halves, mirrored about the centre."""
    return [row + row[::-1] for row in half_rows]


CAT = mirrored([
    "...........",
    "..#........",
    "..##.......",
    "..###......",
    "..####.....",
    "..#########",
    "..#########",
    ".##########",
    ".###..#####",
    ".###..#####",
    ".##########",
    ".#########.",
    "##########.",
    ".#####.####",
    "##########.",
    ".##########",
    "..#########",
    "...########",
    ".....######",
    "...........",
])

HOUSE = [
    "......................",
    "..............CC......",
    "..........RR..CC......",
    ".........RRRR.CC......",
    "........RRRRRRCC......",
    ".......RRRRRRRRR......",
    "......RRRRRRRRRRR.....",
    ".....RRRRRRRRRRRRR....",
    "....RRRRRRRRRRRRRRR...",
    "...RRRRRRRRRRRRRRRRR..",
    "....WWWWWWWWWWWWWWW...",
    "....WWWWWWWWWWWWWWW...",
    "....WBBBWWWWWWWBBBW...",
    "....WB.BWWWWWWWB.BW...",
    "....WBBBWWDDDWWBBBW...",
    "....WWWWWWDDDWWWWWW...",
    "....WWWWWWDDDWWWWWW...",
    "....WWWWWWDDYWWWWWW...",
    "....WWWWWWDDDWWWWWW...",
    "GGGGGGGGGGGGGGGGGGGGGG",
    "GGGGGGGGGGGGGGGGGGGGGG",
]

HEART = mirrored([
    "..........",
    "...####...",
    "..######..",
    ".########.",
    ".###+#####",
    "####+#####",
    "####++####",
    "##########",
    "##########",
    ".#########",
    ".#########",
    "..########",
    "...#######",
    "....######",
    ".....#####",
    "......####",
    ".......###",
    "........##",
    ".........#",
    "..........",
])

FISH = [
    "..........................",
    ".............OO...........",
    "............OOOO..........",
    "..........OOOOOOO.........",
    "#......OOOOOOOOOOOOO......",
    "##...OOOOOOOOOOOOOOOOO....",
    "###.OOOOOOOOOOOOOOOOOOOO..",
    "####OOOOOOOO.OOOOOOO.OOOO.",
    "#####OOOOOOO.OOOOOOOOOOOOO",
    "####OOOOOOOO.OOOOOOOOOOO..",
    "###.OOOOOOOOOOOOOOOOOOOOO.",
    "##...OOOOOOOOOOOOOOOOOO...",
    "#......OOOOOOOOOOOOOO.....",
    "..........OOOOOOO.........",
    "............OOO...........",
    "..........................",
]

TREE = mirrored([
    "........",
    ".......#",
    "......##",
    ".....###",
    "....####",
    "......##",
    ".....###",
    "....####",
    "...#####",
    ".....###",
    "....####",
    "...#####",
    "..######",
    ".#######",
    "....####",
    "...#####",
    "..######",
    ".#######",
    "########",
    "......TT",
    "......TT",
    "......TT",
    "....TTTT",
    "........",
])

BOAT = [
    "..........................",
    ".............|............",
    ".............|S...........",
    ".............|SS..........",
    "............S|SSS.........",
    "...........SS|SSSS........",
    "..........SSS|SSSSS.......",
    ".........SSSS|SSSSSS......",
    "........SSSSS|SSSSSSS.....",
    ".......SSSSSS|SSSSSSSS....",
    "......SSSSSSS|SSSSSSSSS...",
    ".............|............",
    "..HHHHHHHHHHHHHHHHHHHHHH..",
    "...HHHHHHHHHHHHHHHHHHHH...",
    "....HHHHHHHHHHHHHHHHHH....",
    "~~~~~HHHHHHHHHHHHHHHH~~~~~",
    "~~~~~~~~~~~~~~~~~~~~~~~~~~",
    "..........................",
]

UMBRELLA = mirrored([
    "...........",
    "..........#",
    ".......####",
    ".....######",
    "....#######",
    "...########",
    "..#########",
    ".##########",
    ".##########",
    "###.###.###",
    "#.....#....",
]) + [
    "...........|..........",
    "...........|..........",
    "...........|..........",
    "...........|..........",
    "...........|..........",
    "......|....|..........",
    "......|....|..........",
    "......|||||...........",
    "......................",
]

STAR = mirrored([
    ".........",
    "........#",
    "........#",
    ".......##",
    ".......##",
    "......###",
    "#########",
    ".########",
    "..#######",
    "...######",
    "....#####",
    "....#####",
    "...######",
    "...####..",
    "..###....",
    "..#......",
    ".........",
])

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# (motif, colour of each character, file name, writer)
SKY = (232, 242, 255)  # a light tint: an empty cell
WATER = (240, 248, 255)  # 5-6-5 keeps it at (240, 248, 248): empty


def rows_of(motif, colours):
    width = len(motif[0])
    assert all(len(row) == width for row in motif), "ragged motif"
    return [[colours[c] for c in row] for row in motif]


# ---- BMP writing -------------------------------------------------------------

def file_header(total, off_bits):
    return b"BM" + struct.pack("<IHHI", total, 0, 0, off_bits)


def info_header(size, width, height, bpp, compression, size_image, colours_used):
    header = struct.pack("<IiiHHIIiiII", size, width, height, 1, bpp, compression,
                         size_image, 2835, 2835, colours_used, 0)
    return header


def palette_of(rows, limit):
    table = []
    for row in rows:
        for colour in row:
            if colour not in table:
                table.append(colour)
    assert len(table) <= limit, "too many colours"
    return table


def table_bytes(table, entry):
    out = b""
    for r, g, b in table:
        out += bytes((b, g, r)) + (b"\0" if entry == 4 else b"")
    return out


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def pack_indices(indices, bpp):
    """One row of indices at 1, 4 or 8 bits, leftmost pixel highest."""
    per_byte = 8 // bpp
    out = bytearray()
    for start in range(0, len(indices), per_byte):
        byte = 0
        group = indices[start:start + per_byte]
        for i, index in enumerate(group):
            byte |= index << (8 - bpp * (i + 1))
        out.append(byte)
    return pad4(bytes(out))


def write(path, header, table, pixels):
    off_bits = 14 + len(header) + len(table)
    data = header + table + pixels
    with open(path, "wb") as f:
        f.write(file_header(14 + len(data), off_bits) + data)


def write_indexed(path, rows, bpp, table=None):
    table = table or palette_of(rows, 1 << bpp)
    height, width = len(rows), len(rows[0])
    pixels = b"".join(pack_indices([table.index(c) for c in row], bpp) for row in reversed(rows))
    header = info_header(40, width, height, bpp, 0, len(pixels), len(table))
    write(path, header, table_bytes(table, 4), pixels)


def write_core8(path, rows):
    table = palette_of(rows, 256)
    table += [(0, 0, 0)] * (256 - len(table))  # a core table has no count: all 256
    height, width = len(rows), len(rows[0])
    pixels = b"".join(pack_indices([table.index(c) for c in row], 8) for row in reversed(rows))
    header = struct.pack("<IHHHH", 12, width, height, 1, 8)
    write(path, header, table_bytes(table, 3), pixels)


def runs(indices):
    out = []
    for index in indices:
        if out and out[-1][0] == index:
            out[-1][1] += 1
        else:
            out.append([index, 1])
    return out


def rle_row(indices, four_bit, trim_background):
    """One row of run-length codes (without its end-of-line code)."""
    if trim_background and any(indices):
        # Trailing background is left to the end-of-line code: those pixels
        # stay unset and read as index 0. (A row of background alone is
        # still coded as a run; some readers lose a row that is nothing but
        # an end-of-line code.)
        while indices[-1] == 0:
            indices = indices[:-1]
    out = bytearray()
    pending = []  # single pixels gathered for an absolute run

    def flush():
        nonlocal pending
        if len(pending) >= 3:
            out.extend((0, len(pending)))
            if four_bit:
                data = bytearray()
                for i in range(0, len(pending), 2):
                    pair = pending[i:i + 2] + [0]
                    data.append(pair[0] << 4 | pair[1])
            else:
                data = bytearray(pending)
            if len(data) % 2:
                data.append(0)
            out.extend(data)
        else:
            for index in pending:
                out.extend((1, index << 4 | index if four_bit else index))
        pending = []

    for index, count in runs(indices):
        if count == 1:
            pending.append(index)
            if len(pending) == 255:
                flush()
            continue
        flush()
        while count > 0:
            n = min(count, 255)
            out.extend((n, index << 4 | index if four_bit else index))
            count -= n
    flush()
    return bytes(out)


def write_rle(path, rows, four_bit, trim_background=False):
    bpp = 4 if four_bit else 8
    table = palette_of(rows, 1 << bpp)
    height, width = len(rows), len(rows[0])
    data = bytearray()
    for y, row in enumerate(reversed(rows)):
        # The last row is always coded in full: some readers refuse a
        # picture whose codes end before its last pixel.
        trim = trim_background and y < height - 1
        data += rle_row([table.index(c) for c in row], four_bit, trim)
        data += bytes((0, 0)) if y < height - 1 else bytes((0, 1))
    header = info_header(40, width, height, bpp, 2 if four_bit else 1, len(data), len(table))
    write(path, header, table_bytes(table, 4), bytes(data))


def pixels16(rows, word):
    """The rows, bottom row first, as 16-bit pixels that word(r, g, b) packs,
    each row padded to 4 bytes."""
    pixels = b""
    for row in reversed(rows):
        pixels += pad4(struct.pack("<%dH" % len(row), *[word(r, g, b) for r, g, b in row]))
    return pixels


def write_bitfields565(path, rows):
    height, width = len(rows), len(rows[0])
    pixels = pixels16(rows, lambda r, g, b: (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3))
    header = info_header(40, width, height, 16, 3, len(pixels), 0)
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    write(path, header + masks, b"", pixels)


def write_rgb555(path, rows):
    height, width = len(rows), len(rows[0])
    pixels = pixels16(rows, lambda r, g, b: (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))
    write(path, info_header(40, width, height, 16, 0, len(pixels), 0), b"", pixels)


def write_rgb24_top_down(path, rows):
    height, width = len(rows), len(rows[0])
    pixels = b"".join(pad4(b"".join(bytes((b, g, r)) for r, g, b in row)) for row in rows)
    write(path, info_header(40, width, -height, 24, 0, len(pixels), 0), b"", pixels)


def write_rgb32_v5(path, rows):
    height, width = len(rows), len(rows[0])
    pixels = b"".join(b"".join(bytes((b, g, r, 0)) for r, g, b in row) for row in reversed(rows))
    header = info_header(124, width, height, 32, 0, len(pixels), 0)
    # Masks, alpha mask, colour space "sRGB", endpoints and gamma (unused
    # for sRGB), intent, profile data and size, reserved.
    header += struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0)
    header += b"BGRs" + b"\0" * 36 + b"\0" * 12
    header += struct.pack("<IIII", 4, 0, 0, 0)
    assert len(header) == 124
    write(path, header, b"", pixels)


def main():
    samples = [
        ("cat.bmp", lambda p: write_indexed(p, rows_of(CAT, {".": WHITE, "#": BLACK}), 1,
                                            table=[WHITE, BLACK])),
        ("house.bmp", lambda p: write_rle(p, rows_of(HOUSE, {
            ".": SKY, "R": (190, 40, 30), "C": (90, 90, 90), "W": (205, 150, 90),
            "B": (40, 90, 200), "D": (110, 60, 20), "Y": (250, 210, 0), "G": (40, 160, 50)}),
            four_bit=True)),
        ("heart.bmp", lambda p: write_rle(p, rows_of(HEART, {
            ".": WHITE, "#": (220, 20, 60), "+": (240, 140, 150)}), four_bit=False,
            trim_background=True)),
        ("fish.bmp", lambda p: write_bitfields565(p, rows_of(FISH, {
            ".": WATER, "O": (255, 140, 0), "#": (200, 80, 0)}))),
        ("tree.bmp", lambda p: write_rgb24_top_down(p, rows_of(TREE, {
            ".": WHITE, "#": (30, 130, 40), "T": (120, 70, 30)}))),
        ("boat.bmp", lambda p: write_rgb32_v5(p, rows_of(BOAT, {
            ".": SKY, "|": (80, 50, 20), "S": (200, 200, 200), "H": (150, 30, 30),
            "~": (30, 80, 200)}))),
        ("umbrella.bmp", lambda p: write_core8(p, rows_of(UMBRELLA, {
            ".": WHITE, "#": (130, 0, 160), "|": (60, 60, 60)}))),
        ("star.bmp", lambda p: write_rgb555(p, rows_of(STAR, {
            ".": (248, 248, 232), "#": (240, 200, 0)}))),
    ]
    for name, writer in samples:
        writer(os.path.join(HERE, name))
        print("wrote", name)


if __name__ == "__main__":
    main()
