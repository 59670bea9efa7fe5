"""The product mark: a sail (Vela is the constellation of the sails) with a
star, on a rounded square. Drawn into any canvas at any size."""

from palette import ACCENT, AMBER, NAVY, rgba

COLOURED = {"tile": ACCENT, "sail": (255, 255, 255), "star": AMBER, "hull": NAVY}
GREY = {"tile": (150, 157, 170), "sail": (255, 255, 255), "star": (222, 226, 233), "hull": (96, 103, 116)}


def draw_logo(canvas, x, y, size, scheme=COLOURED, tile=True):
    """Draws the mark into the square (x, y, x + size, y + size)."""

    def p(u, v):
        return (x + u * size, y + v * size)

    if tile:
        canvas.rect((x, y, x + size, y + size), fill=scheme["tile"], radius=size * 0.22)
    # Main sail and jib, with a gap that reads as the mast.
    canvas.polygon([p(0.47, 0.16), p(0.47, 0.70), p(0.20, 0.70)], fill=scheme["sail"])
    canvas.polygon([p(0.54, 0.30), p(0.78, 0.70), p(0.54, 0.70)], fill=scheme["sail"])
    canvas.polygon([p(0.16, 0.76), p(0.84, 0.76), p(0.74, 0.86), p(0.26, 0.86)], fill=scheme["hull"] if tile else scheme["sail"])
    # The star: the laser dot of the remote.
    cx, cy = p(0.76, 0.22)
    _star(canvas, cx, cy, size * 0.11, scheme["star"])


def _star(canvas, cx, cy, r, colour):
    inner = r * 0.38
    pts = [
        (cx, cy - r), (cx + inner, cy - inner), (cx + r, cy), (cx + inner, cy + inner),
        (cx, cy + r), (cx - inner, cy + inner), (cx - r, cy), (cx - inner, cy - inner),
    ]
    canvas.polygon(pts, fill=rgba(colour))
