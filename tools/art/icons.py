"""Icon files: every size as a 32-bit image with alpha; the small sizes as
classic DIB entries (readable everywhere), 256 px as PNG (the usual layout)."""

import io
import struct

from canvas import Canvas
from logo import COLOURED, GREY, draw_logo

SIZES = (16, 24, 32, 48, 256)


def logo_picture(size, scheme):
    c = Canvas(size, size)
    # At 16 and 24 px the tile fills the whole square so the sail stays large.
    inset = 0 if size <= 24 else size / 32
    draw_logo(c, inset, inset, size - 2 * inset, scheme)
    return c.image()


def _dib_entry(picture):
    w, h = picture.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = picture.load()
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        row_mask = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = px[x, y]
            colour += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    return header + bytes(colour) + bytes(mask)


def _png_entry(picture):
    out = io.BytesIO()
    picture.save(out, "PNG", optimize=False, compress_level=9)
    return out.getvalue()


def ico_bytes(pictures):
    """pictures: images ordered by size. Returns the .ico file content."""
    entries = [(p.size[0], _png_entry(p) if p.size[0] >= 256 else _dib_entry(p)) for p in pictures]
    offset = 6 + 16 * len(entries)
    directory = struct.pack("<HHH", 0, 1, len(entries))
    data = b""
    for size, blob in entries:
        dim = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset + len(data))
        data += blob
    return directory + data


def all_icons():
    """file name -> (.ico bytes, pictures) of the three icons."""
    coloured = [logo_picture(s, COLOURED) for s in SIZES]
    grey = [logo_picture(s, GREY) for s in SIZES]
    return {
        "app.ico": (ico_bytes(coloured), coloured),
        "tray_linked.ico": (ico_bytes(coloured), coloured),
        "tray_unlinked.ico": (ico_bytes(grey), grey),
    }
