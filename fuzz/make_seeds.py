#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets: small pictures of every BMP
variant the reader accepts (through the writers of examples/make_samples.py)
and a few hand-made headers, plus minimal metafiles and icons.

    python3 fuzz/make_seeds.py
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "examples"))
import make_samples as bmp  # noqa: E402

W, K, R, G = (255, 255, 255), (0, 0, 0), (200, 30, 30), (30, 160, 60)
ROWS = [
    [W, K, K, W, R, R, W],
    [K, W, G, G, W, R, K],
    [K, K, W, R, R, W, W],
    [W, G, G, G, W, K, K],
]


def seed(directory, name, data):
    with open(os.path.join(HERE, "corpus", directory, name), "wb") as f:
        f.write(data)


def written(writer, *args, **kwargs):
    path = os.path.join(HERE, "corpus", "bmp", ".tmp")
    writer(path, *args, **kwargs)
    with open(path, "rb") as f:
        data = f.read()
    os.remove(path)
    return data


def bmp_seeds():
    two = [[W if (x + y) % 3 else K for x in range(9)] for y in range(5)]
    seed("bmp", "1bit.bmp", written(bmp.write_indexed, two, 1, table=[W, K]))
    seed("bmp", "4bit.bmp", written(bmp.write_indexed, ROWS, 4))
    seed("bmp", "8bit.bmp", written(bmp.write_indexed, ROWS, 8))
    seed("bmp", "rle4.bmp", written(bmp.write_rle, ROWS, four_bit=True))
    seed("bmp", "rle8.bmp", written(bmp.write_rle, ROWS, four_bit=False, trim_background=True))
    seed("bmp", "565.bmp", written(bmp.write_bitfields565, ROWS))
    seed("bmp", "555.bmp", written(bmp.write_rgb555, ROWS))
    seed("bmp", "24top.bmp", written(bmp.write_rgb24_top_down, ROWS))
    seed("bmp", "32v5.bmp", written(bmp.write_rgb32_v5, ROWS))
    seed("bmp", "core8.bmp", written(bmp.write_core8, ROWS))

    # Run-length codes with a delta, an absolute run and an early end.
    rle = bytes((3, 1, 0, 2, 2, 1, 2, 2, 0, 0, 0, 3, 1, 2, 1, 0, 0, 1))
    header = bmp.info_header(40, 6, 4, 8, 1, len(rle), 3)
    table = bmp.table_bytes([W, K, R], 4)
    seed("bmp", "rle8_delta.bmp", bmp.file_header(0, 0) + header + table + rle)

    # 32 bits with bit fields in a 108-byte header, top row first.
    pixels = b"".join(struct.pack("<I", (x * 40) << 22 | (y * 60) << 12 | 0x3FF)
                      for y in range(3) for x in range(4))
    header = bmp.info_header(108, 4, -3, 32, 3, len(pixels), 0)
    header += struct.pack("<IIII", 0xFFC00000, 0x003FF000, 0x00000FFF, 0) + b"\0" * 52
    seed("bmp", "32fields_v4.bmp", bmp.file_header(0, 0) + header + pixels)

    # Pixel data after a gap that bfOffBits points past.
    pixels = bytes((0x55, 0, 0, 0, 0xAA, 0, 0, 0))
    header = bmp.info_header(40, 8, 2, 1, 0, 0, 2)
    table = bmp.table_bytes([W, K], 4)
    seed("bmp", "gap.bmp", bmp.file_header(0, 14 + 40 + 8 + 4) + header + table + b"GAP!" + pixels)


def metafile_seeds():
    # Enhanced metafile: a 100-byte header record and an end-of-file record.
    eof = struct.pack("<IIIII", 14, 20, 0, 16, 20)
    length = 100 + len(eof)
    head = struct.pack("<II", 1, 100) + struct.pack("<iiii", 0, 0, 99, 49)
    head += struct.pack("<iiii", 0, 0, 2645, 1322)
    head += struct.pack("<IIIIHHIIIiiiiIII", 0x464D4520, 0x10000, length, 2, 1, 0, 0, 0, 0,
                        1920, 1080, 508, 286, 0, 0, 0)
    assert len(head) == 100
    seed("metafile", "minimal.emf", head + eof)

    # Placeable Windows metafile: placeable header, metafile header, end.
    words = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 400, 300, 1440, 0)
    checksum = 0
    for i in range(0, 20, 2):
        checksum ^= struct.unpack_from("<H", words, i)[0]
    placeable = words + struct.pack("<H", checksum)
    records = struct.pack("<IH", 3, 0)
    meta = struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(records)) // 2, 0, 3, 0)
    seed("metafile", "placeable.wmf", placeable + meta + records)

    seed("metafile", "icon.ico", struct.pack("<HHH", 0, 1, 1) + b"\0" * 16)


if __name__ == "__main__":
    bmp_seeds()
    metafile_seeds()
    print("seeds written")
