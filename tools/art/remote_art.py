"""Illustration of the remote and its USB receiver with radio waves."""

from palette import ACCENT, AMBER, BORDER, GREY_OFF, NAVY, NAVY_LIGHT, RED


def draw_remote(c, x, y, scale=1.0):
    """A slim remote whose top-left corner is at (x, y); about 74 x 250 at scale 1."""

    def s(v):
        return v * scale

    w, h = s(74), s(250)
    c.rect((x + s(4), y + s(6), x + w + s(4), y + h + s(6)), fill=(0, 0, 0, 28), radius=s(37))
    c.rect((x, y, x + w, y + h), fill=NAVY, radius=s(37))
    c.rect((x + s(4), y + s(4), x + w - s(4), y + h - s(4)), outline=NAVY_LIGHT, width=s(1.5), radius=s(33))
    cx = x + w / 2
    # Laser window and status light.
    c.rect((cx - s(10), y + s(10), cx + s(10), y + s(16)), fill=(70, 80, 110), radius=s(3))
    c.circle(cx, y + s(30), s(3), fill=RED)
    # Navigation ring with the effect key in the middle.
    c.circle(cx, y + s(82), s(28), fill=NAVY_LIGHT)
    c.circle(cx, y + s(82), s(15), fill=ACCENT)
    for dx, dy in ((0, -21), (0, 21), (-21, 0), (21, 0)):
        c.circle(cx + s(dx), y + s(82 + dy), s(2.2), fill=(150, 164, 204))
    # Scene key and size keys.
    c.rect((cx - s(18), y + s(128), cx + s(18), y + s(146)), fill=NAVY_LIGHT, radius=s(9))
    c.circle(cx, y + s(137), s(4), fill=AMBER)
    for i, row in enumerate((164, 188)):
        c.rect((cx - s(18), y + s(row), cx + s(18), y + s(row + 16)), fill=NAVY_LIGHT, radius=s(8))
        c.line([(cx - s(6), y + s(row + 8)), (cx + s(6), y + s(row + 8))], (150, 164, 204), width=s(2))
        if i == 0:
            c.line([(cx, y + s(row + 2)), (cx, y + s(row + 14))], (150, 164, 204), width=s(2))
    # Brand sail.
    c.polygon([(cx - s(2), y + s(214)), (cx - s(2), y + s(232)), (cx - s(11), y + s(232))], fill=(150, 164, 204))
    c.polygon([(cx + s(2), y + s(219)), (cx + s(9), y + s(232)), (cx + s(2), y + s(232))], fill=(150, 164, 204))


def draw_receiver(c, x, y, scale=1.0):
    """A nano USB receiver, plug to the left, top-left corner at (x, y); about 92 x 34."""

    def s(v):
        return v * scale

    # Metal plug with its two windows.
    c.rect((x, y + s(5), x + s(40), y + s(29)), fill=(205, 211, 222), outline=GREY_OFF, width=s(1.2), radius=s(2))
    c.rect((x + s(10), y + s(11), x + s(17), y + s(16)), fill=GREY_OFF)
    c.rect((x + s(24), y + s(11), x + s(31), y + s(16)), fill=GREY_OFF)
    # Body.
    c.rect((x + s(36), y, x + s(92), y + s(34)), fill=NAVY, radius=s(8))
    c.circle(x + s(80), y + s(17), s(3), fill=ACCENT)


def draw_waves(c, cx, cy, colour=ACCENT, count=3, start=14, step=12, angle=-45):
    """Radio arcs centred on (cx, cy), opening towards angle (degrees, screen)."""
    for i in range(count):
        r = start + i * step
        c.arc((cx - r, cy - r, cx + r, cy + r), angle - 40, angle + 40, colour, width=3)


def draw_usb_port(c, x, y):
    """The side of a laptop with a USB port, as a small cue beside the receiver."""
    c.rect((x, y, x + 26, y + 60), fill=(229, 233, 240), outline=BORDER, width=1.2, radius=5)
    c.rect((x + 8, y + 20, x + 26, y + 40), fill=(70, 80, 100), radius=2)
