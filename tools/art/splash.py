"""The welcome picture (568 x 436): the product name, a welcome line and the
notification area with an arrow at the program's tray icon, captioned."""

from canvas import Canvas, wrap
from logo import COLOURED, draw_logo
from palette import ACCENT, AMBER, INK, MUTED, NAVY, ON_NAVY, ON_NAVY_MUTED
from texts import TEXTS

WIDTH, HEIGHT = 568, 436
BAND = 210
TASKBAR = (120, 346, 548, 390)
TRAY_ICON_X = 286


def draw(lang):
    t = TEXTS[lang]
    c = Canvas(WIDTH, HEIGHT, (255, 255, 255, 255))
    c.rect((0, 0, WIDTH, BAND), fill=NAVY)
    # Decorative stars of the constellation.
    stars = [(516, 30, 3), (548, 64, 2), (530, 112, 2.5), (552, 150, 3.5), (512, 182, 2)]
    c.line([(x, y) for x, y, _ in stars], (60, 78, 135), width=1.2)
    for x, y, r in stars:
        c.circle(x, y, r, fill=(120, 140, 200))
    draw_logo(c, 40, 52, 72, COLOURED)
    c.rect((40, BAND - 4, WIDTH, BAND), fill=ACCENT)

    # The notification area: chevron, the program's icon, network, sound, clock.
    l, top, r, b = TASKBAR
    c.rect((l, top, r, b), fill=(32, 36, 46), radius=8)
    cy = (top + b) / 2
    c.line([(l + 22, cy + 3), (l + 27, cy - 2), (l + 32, cy + 3)], (220, 224, 232), width=1.6)
    icon = (TRAY_ICON_X - 12, cy - 12, TRAY_ICON_X + 12, cy + 12)
    c.rect((icon[0] - 6, icon[1] - 6, icon[2] + 6, icon[3] + 6), fill=(70, 78, 96), radius=6)
    draw_logo(c, icon[0], icon[1], 24, COLOURED)
    c.circle(TRAY_ICON_X, cy, 22, outline=AMBER, width=2.5)
    wx = 340
    for i, rr in enumerate((4, 8, 12)):
        c.arc((wx - rr, cy + 6 - rr, wx + rr, cy + 6 + rr), 225, 315, (220, 224, 232), width=2)
    c.circle(wx, cy + 5, 1.8, fill=(220, 224, 232))
    sx = 370
    c.polygon([(sx, cy - 3), (sx + 4, cy - 3), (sx + 9, cy - 8), (sx + 9, cy + 8), (sx + 4, cy + 3), (sx, cy + 3)],
              fill=(220, 224, 232))
    c.arc((sx + 7, cy - 6, sx + 17, cy + 6), -50, 50, (220, 224, 232), width=1.6)

    # Arrow from the caption down to the icon.
    arrow = [(200, 306), (222, 330), (252, 346), (TRAY_ICON_X - 24, cy - 10)]
    c.line(_smooth(arrow), AMBER, width=3)
    tip_x, tip_y = TRAY_ICON_X - 24, cy - 10
    c.polygon([(tip_x + 4, tip_y + 4), (tip_x - 12, tip_y - 1), (tip_x - 4, tip_y + 12)], fill=AMBER)

    c.text((132, 72), t["product"], 34, ON_NAVY, bold=True, anchor="lm")
    for i, line in enumerate(wrap(t["welcome"], 16, 390)):
        c.text((132, 116 + i * 24), line, 16, ON_NAVY_MUTED, anchor="lm")
    for i, line in enumerate(wrap(t["tray_caption"], 15, 420)):
        c.text((40, 250 + i * 24), line, 15, INK, anchor="lm")
    c.text((r - 16, cy), "10:30", 13, (220, 224, 232), anchor="rm")
    c.text((40, HEIGHT - 22), "Korvel", 11, MUTED, anchor="lm")
    return c.image()


def _smooth(points, steps=24):
    """Catmull-Rom through the points, for a soft curved arrow."""
    out = []
    pts = [points[0]] + points + [points[-1]]
    for i in range(1, len(pts) - 2):
        p0, p1, p2, p3 = pts[i - 1], pts[i], pts[i + 1], pts[i + 2]
        for k in range(steps):
            u = k / steps
            out.append(tuple(
                0.5 * (2 * p1[d] + (-p0[d] + p2[d]) * u + (2 * p0[d] - 5 * p1[d] + 4 * p2[d] - p3[d]) * u * u
                       + (-p0[d] + 3 * p1[d] - 3 * p2[d] + p3[d]) * u * u * u)
                for d in range(2)))
    out.append(points[-1])
    return out
