#!/usr/bin/python3
"""Writes the small PNG pictures the skin tests embed (data/*.png).

Run it again only to change the pictures; the outputs are committed.
"""
import os
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, colour_type, rows):
    """rows: list of rows, each a list of (r, g, b[, a]) tuples."""
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw))
            + chunk(b"IEND", b""))


RED, GREEN, BLUE = (255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255)

PICTURES = {
    # One row: half-transparent (r50 g100 b200 a128), opaque red, transparent white, opaque green.
    "alpha_4x1.png": png(4, 1, 6, [[(50, 100, 200, 128), RED, (255, 255, 255, 0), GREEN]]),
    # Three frames of 10 x 18 side by side: red, green, blue.
    "strip_30x18.png": png(30, 18, 6, [[RED] * 10 + [GREEN] * 10 + [BLUE] * 10 for _ in range(18)]),
    # Three frames of 18 x 18 stacked: red, green, blue.
    "tall_18x54.png": png(18, 54, 6, [[c] * 18 for c in [RED] * 18 + [GREEN] * 18 + [BLUE] * 18]),
    # No alpha channel (colour type 2): drawn opaque.
    "rgb_2x2.png": png(2, 2, 2, [[(10, 20, 30), (40, 50, 60)], [(70, 80, 90), (100, 110, 120)]]),
    # The size of a page background, for the drawing benchmark: a gradient
    # with partial alpha, every row alike (so the file stays small).
    "page_621x462.png": png(621, 462, 6, [[(x % 256, 128, 255 - x % 256, 128 + x % 128) for x in range(621)]] * 462),
}

if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
    os.makedirs(out, exist_ok=True)
    for name, data in PICTURES.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
