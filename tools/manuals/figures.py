"""Simple vector pictures of the manuals, drawn with reportlab graphics.

Every function takes the label texts of one language and returns a Drawing.
"""
import math

from reportlab.graphics.shapes import Circle, Drawing, Line, Polygon, Rect, String
from reportlab.lib import colors

INK = colors.HexColor("#23313f")
BODY = colors.HexColor("#2f3a45")
KEY = colors.HexColor("#59656f")
ACCENT = colors.HexColor("#f28c28")
SLIDE = colors.HexColor("#f4f6f8")
BAR = colors.HexColor("#9aa7b3")
WINDOW = colors.HexColor("#1d2b3a")
PANEL = colors.HexColor("#2b3d50")
CYAN = colors.HexColor("#38b6e8")


def _label(d, x, y, text, font, size=9, color=INK, anchor="start"):
    d.add(String(x, y, text, fontName=font, fontSize=size, fillColor=color, textAnchor=anchor))


def _callout(d, x0, y0, x1, y1, text, font):
    d.add(Line(x0, y0, x1, y1, strokeColor=BAR, strokeWidth=0.8))
    d.add(Circle(x0, y0, 1.6, fillColor=INK, strokeColor=None))
    _label(d, x1 + 4, y1 - 3, text, font)


def _key(d, x, y, r, glyph, fill=KEY, glyph_size=9):
    d.add(Circle(x, y, r, fillColor=fill, strokeColor=colors.white, strokeWidth=0.8))
    if glyph:
        d.add(String(x, y - glyph_size * 0.35, glyph, fontName="Helvetica-Bold", fontSize=glyph_size,
                     fillColor=colors.white, textAnchor="middle"))


def remote(labels, font):
    """The remote from above with its keys, and the USB receiver."""
    d = Drawing(460, 230)
    d.add(Rect(70, 10, 74, 210, rx=34, ry=34, fillColor=BODY, strokeColor=INK, strokeWidth=1.2))
    d.add(Circle(107, 205, 3, fillColor=colors.HexColor("#7fd36a"), strokeColor=None))  # status light
    _key(d, 107, 172, 17, "", fill=ACCENT)
    _key(d, 88, 134, 11, "<")
    _key(d, 126, 134, 11, ">")
    _key(d, 107, 100, 11, "S")
    _key(d, 88, 66, 10, "-", glyph_size=12)
    _key(d, 126, 66, 10, "+", glyph_size=10)
    _key(d, 107, 34, 10, "", fill=colors.black)
    _callout(d, 124, 172, 200, 200, labels["effect"], font)
    _callout(d, 137, 134, 200, 160, labels["page"], font)
    _callout(d, 118, 100, 200, 120, labels["scene"], font)
    _callout(d, 136, 66, 200, 80, labels["size"], font)
    _callout(d, 117, 34, 200, 40, labels["black"], font)
    # USB receiver
    d.add(Rect(12, 120, 34, 18, rx=4, ry=4, fillColor=BODY, strokeColor=INK))
    d.add(Rect(18, 138, 22, 16, fillColor=colors.HexColor("#c9cfd4"), strokeColor=INK))
    _label(d, 29, 106, labels["receiver"], font, size=8, anchor="middle")
    return d


def _slide(d, x, y, w, h, rows=5):
    """A slide with a title bar and text lines; returns the bars as (x, y, w, h, colour)."""
    d.add(Rect(x, y, w, h, fillColor=SLIDE, strokeColor=INK, strokeWidth=0.8))
    bars = [(x + 8, y + h - 16, w * 0.55, 7, CYAN)]
    bars += [(x + 8, y + h - 30 - i * 11, w - 16 - (i % 3) * 14, 4, BAR) for i in range(rows)]
    for bx, by, bw, bh, c in bars:
        d.add(Rect(bx, by, bw, bh, fillColor=c, strokeColor=None))
    return bars


def _spotlight(d, x, y, w, h, bars, cx, cy, r, darkness=0.78):
    """Darkens the area except a round hole through which the slide stays visible."""
    d.add(Rect(x, y, w, h, fillColor=colors.Color(0, 0, 0, darkness), strokeColor=None))
    d.add(Circle(cx, cy, r, fillColor=SLIDE, strokeColor=None))
    for bx, by, bw, bh, c in bars:
        # the part of each bar inside the circle, one chord per bar
        mid = by + bh / 2
        if abs(mid - cy) >= r:
            continue
        half = math.sqrt(r * r - (mid - cy) ** 2)
        left, right = max(bx, cx - half), min(bx + bw, cx + half)
        if right > left:
            d.add(Rect(left, by, right - left, bh, fillColor=c, strokeColor=None))


def _circle_points(cx, cy, r, n=48):
    return [(cx + r * math.cos(2 * math.pi * i / n), cy + r * math.sin(2 * math.pi * i / n)) for i in range(n)]


def effects(labels, font):
    """Spotlight, magnifier, digital laser and black screen side by side."""
    d = Drawing(460, 130)
    w, h, gap, y = 104, 84, 12, 30
    xs = [i * (w + gap) + 2 for i in range(4)]

    x = xs[0]
    _spotlight(d, x, y, w, h, _slide(d, x, y, w, h), x + 46, y + 46, 22)

    x = xs[1]
    _slide(d, x, y, w, h)
    cx, cy, r = x + 54, y + 42, 27
    d.add(Circle(cx, cy, r, fillColor=colors.white, strokeColor=INK, strokeWidth=2.2))
    d.add(Rect(cx - 20, cy + 6, 34, 8, fillColor=BAR, strokeColor=None))
    d.add(Rect(cx - 22, cy - 8, 40, 8, fillColor=BAR, strokeColor=None))
    d.add(Rect(cx - 16, cy - 22, 26, 8, fillColor=BAR, strokeColor=None))

    x = xs[2]
    _slide(d, x, y, w, h)
    d.add(Circle(x + 60, y + 50, 15, fillColor=colors.Color(1, 0, 0, 0.25), strokeColor=colors.red, strokeWidth=2.5))

    x = xs[3]
    d.add(Rect(x, y, w, h, fillColor=colors.black, strokeColor=INK, strokeWidth=0.8))

    for x, key in zip(xs, ("spotlight", "magnifier", "laser", "black")):
        _label(d, x + w / 2, 12, labels[key], font, size=9, anchor="middle")
    return d


def _slider(d, x, y, w, pos, fill=CYAN, rainbow=False):
    if rainbow:
        steps = 40
        for i in range(steps):
            h6 = i * 6.0 / steps
            k = h6 - int(h6)
            rgb = [(1, k, 0), (1 - k, 1, 0), (0, 1, k), (0, 1 - k, 1), (k, 0, 1), (1, 0, 1 - k)][int(h6)]
            c = colors.Color(*rgb)
            d.add(Rect(x + i * w / steps, y - 3, w / steps + 0.3, 6, fillColor=c, strokeColor=None))
    else:
        d.add(Rect(x, y - 2, w, 4, fillColor=colors.HexColor("#55677a"), strokeColor=None))
        d.add(Rect(x, y - 2, w * pos, 4, fillColor=fill, strokeColor=None))
    d.add(Rect(x + w * pos - 3, y - 6, 6, 12, fillColor=colors.white, strokeColor=INK, strokeWidth=0.5))


def _switch(d, x, y, on):
    d.add(Rect(x, y - 6, 26, 12, rx=6, ry=6, fillColor=CYAN if on else colors.HexColor("#55677a"), strokeColor=None))
    d.add(Circle(x + (19 if on else 7), y, 5, fillColor=colors.white, strokeColor=None))


def settings(labels, font):
    """A sketch of the settings window."""
    d = Drawing(460, 235)
    d.add(Rect(0, 0, 460, 235, rx=6, ry=6, fillColor=WINDOW, strokeColor=INK))
    _label(d, 14, 215, labels["title"], font, size=11, color=colors.white)
    _label(d, 446, 215, labels["help"] + "   " + labels["update"], font, size=9, color=CYAN, anchor="end")
    # preview with a miniature spotlight
    bars = [(22, 190, 60, 6, CYAN)] + [(22, 178 - i * 10, 100 - (i % 2) * 20, 4, BAR) for i in range(4)]
    d.add(Rect(14, 140, 120, 62, fillColor=SLIDE, strokeColor=None))
    for bx, by, bw, bh, c in bars:
        d.add(Rect(bx, by, bw, bh, fillColor=c, strokeColor=None))
    _spotlight(d, 14, 140, 120, 62, bars, 74, 171, 20, darkness=0.7)
    d.add(Polygon([74, 171, 74, 159, 77, 162, 80, 156, 82, 157, 79, 163, 83, 163], fillColor=colors.white,
                  strokeColor=colors.black, strokeWidth=0.5))
    _label(d, 146, 186, labels["pointer"], font, size=9, color=colors.white)
    d.add(Circle(152, 170, 5, fillColor=colors.HexColor("#3fbf5f"), strokeColor=None))
    rows = (("brightness", 112, 0.8, False), ("color", 76, 0.0, True), ("speed", 40, 0.5, False))
    for key, y, pos, rainbow in rows:
        _label(d, 14, y + 12, labels[key], font, size=9, color=colors.white)
        if key == "color":
            d.add(Circle(22, y, 6, fillColor=colors.red, strokeColor=None))
            _slider(d, 34, y, 200, pos, rainbow=True)
        else:
            _slider(d, 14, y, 220, pos)
    for i, (key, on) in enumerate((("autoboot", False), ("antilost", True), ("timer", True))):
        y = 160 - i * 40
        _label(d, 290, y - 3, labels[key], font, size=9, color=colors.white)
        _switch(d, 400, y, on)
    d.add(Rect(290, 48, 40, 18, fillColor=colors.black, strokeColor=CYAN))
    _label(d, 310, 53, "40", "Helvetica-Bold", size=10, color=colors.yellow, anchor="middle")
    _label(d, 336, 53, labels["minutes"], font, size=9, color=colors.white)
    _label(d, 446, 10, labels["version"], font, size=8, color=BAR, anchor="end")
    return d


def _logo(d, x, y, linked):
    ring = ACCENT if linked else colors.HexColor("#8a9199")
    core = CYAN if linked else colors.HexColor("#b8bec4")
    d.add(Circle(x, y, 8, fillColor=ring, strokeColor=None))
    d.add(Circle(x, y, 4, fillColor=core, strokeColor=None))


def tray(labels, font):
    """The notification area: linked and unlinked icon, tooltip and menu."""
    d = Drawing(460, 150)
    for x0, linked, tip in ((0, True, labels["tip_linked"]), (235, False, labels["tip_unlinked"])):
        d.add(Rect(x0, 0, 225, 26, fillColor=colors.HexColor("#1f2329"), strokeColor=None))
        _label(d, x0 + 215, 9, "10:30", "Helvetica", size=9, color=colors.white, anchor="end")
        d.add(Rect(x0 + 120, 7, 12, 12, fillColor=colors.HexColor("#4a5058"), strokeColor=None))
        _logo(d, x0 + 150, 13, linked)
        lines = tip.split("\n")
        box_h = 8 + 12 * len(lines)
        d.add(Rect(x0 + 110, 34, 110, box_h, fillColor=colors.HexColor("#fffde8"), strokeColor=INK, strokeWidth=0.6))
        for i, line in enumerate(lines):
            _label(d, x0 + 116, 34 + box_h - 13 - 12 * i, line, font, size=8.5)
        _label(d, x0 + 4, 34, labels["linked"] if linked else labels["unlinked"], font, size=9)
    # the right-click menu over the linked icon
    d.add(Rect(20, 82, 150, 58, fillColor=colors.white, strokeColor=INK, strokeWidth=0.8))
    d.add(Rect(21, 116, 148, 22, fillColor=colors.HexColor("#d7ecfa"), strokeColor=None))
    _label(d, 30, 123, labels["launch"], font, size=9)
    d.add(Line(26, 110, 164, 110, strokeColor=BAR, strokeWidth=0.6))
    _label(d, 30, 91, labels["quit"], font, size=9)
    _label(d, 176, 110, labels["menu"], font, size=8.5, color=INK)
    return d
