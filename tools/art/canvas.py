"""Drawing surface: shapes are drawn supersampled for smooth edges, text at 1:1
pixels so that it stays crisp."""

from PIL import Image, ImageDraw

from palette import font, rgba

SUPERSAMPLE = 4


class Canvas:
    """An RGBA picture built in two passes: shapes first, then text.

    Shapes go to a layer SUPERSAMPLE times larger that is reduced with a box
    filter when the first text is drawn (or at the end); all coordinates are
    picture pixels, fractional values allowed."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.size = (width, height)
        s = SUPERSAMPLE
        self._big = Image.new("RGBA", (width * s, height * s), background)
        self._shapes = ImageDraw.Draw(self._big)
        self._image = None

    # Shape pass -----------------------------------------------------------
    def _scale(self, box):
        return [v * SUPERSAMPLE for v in box]

    def _check_shape_pass(self):
        if self._image is not None:
            raise RuntimeError("shapes must be drawn before text")

    def _blended(self, colours):
        """A drawing context for the shape: the layer itself for opaque
        colours; for translucent ones a scratch layer that is blended in by
        _commit (drawing would otherwise replace the pixels below)."""
        if all(c is None or c[3] == 255 for c in colours):
            return self._shapes
        self._scratch = Image.new("RGBA", self._big.size, (0, 0, 0, 0))
        return ImageDraw.Draw(self._scratch)

    def _commit(self, draw):
        if draw is not self._shapes:
            self._big.alpha_composite(self._scratch)
            self._scratch = None

    def rect(self, box, fill=None, outline=None, width=1, radius=0):
        self._check_shape_pass()
        b = self._scale(box)
        b[2] -= 1
        b[3] -= 1
        fill = _c(fill)
        outline = _c(outline)
        w = round(width * SUPERSAMPLE) if outline else 0
        draw = self._blended((fill, outline))
        if radius:
            draw.rounded_rectangle(b, radius * SUPERSAMPLE, fill=fill, outline=outline, width=w)
        else:
            draw.rectangle(b, fill=fill, outline=outline, width=w)
        self._commit(draw)

    def ellipse(self, box, fill=None, outline=None, width=1):
        self._check_shape_pass()
        b = self._scale(box)
        b[2] -= 1
        b[3] -= 1
        w = round(width * SUPERSAMPLE) if outline else 0
        draw = self._blended((_c(fill), _c(outline)))
        draw.ellipse(b, fill=_c(fill), outline=_c(outline), width=w)
        self._commit(draw)

    def circle(self, cx, cy, r, **kw):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), **kw)

    def polygon(self, points, fill=None):
        self._check_shape_pass()
        pts = [(x * SUPERSAMPLE, y * SUPERSAMPLE) for x, y in points]
        draw = self._blended((_c(fill),))
        draw.polygon(pts, fill=_c(fill))
        self._commit(draw)

    def line(self, points, colour, width=1, round_caps=True):
        self._check_shape_pass()
        pts = [(x * SUPERSAMPLE, y * SUPERSAMPLE) for x, y in points]
        w = round(width * SUPERSAMPLE)
        self._shapes.line(pts, fill=_c(colour), width=w, joint="curve")
        if round_caps:
            r = w / 2
            for x, y in (pts[0], pts[-1]):
                self._shapes.ellipse((x - r, y - r, x + r - 1, y + r - 1), fill=_c(colour))

    def arc(self, box, start, end, colour, width=1):
        self._check_shape_pass()
        b = self._scale(box)
        self._shapes.arc(b, start, end, fill=_c(colour), width=round(width * SUPERSAMPLE))

    def paste_big(self, picture, x, y):
        """Composites a picture given at SUPERSAMPLE scale at picture point (x, y)."""
        self._check_shape_pass()
        self._big.alpha_composite(picture, (round(x * SUPERSAMPLE), round(y * SUPERSAMPLE)))

    # Text pass --------------------------------------------------------------
    def _flatten(self):
        if self._image is None:
            self._image = self._big.resize(self.size, Image.BOX)
            self._text = ImageDraw.Draw(self._image)
        return self._text

    def text(self, xy, text, size, colour, bold=False, anchor="la"):
        draw = self._flatten()
        draw.text(xy, text, font=font(size, bold), fill=_c(colour), anchor=anchor)

    def text_width(self, text, size, bold=False):
        return font(size, bold).getlength(text)

    def paste(self, picture, x, y):
        """Composites a finished 1:1 picture (after the shapes)."""
        self._flatten()
        self._image.alpha_composite(picture, (x, y))

    def image(self):
        self._flatten()
        return self._image


def _c(colour):
    if colour is None:
        return None
    return colour if len(colour) == 4 else rgba(colour)


def wrap(text, size, width, bold=False):
    """Splits text into lines no wider than width pixels. Words are split at
    spaces; text without spaces (Chinese) may break between any characters."""
    f = font(size, bold)
    lines = []
    if " " in text:
        current = ""
        for word in text.split(" "):
            trial = word if not current else current + " " + word
            if f.getlength(trial) <= width or not current:
                current = trial
            else:
                lines.append(current)
                current = word
        lines.append(current)
    else:
        current = ""
        for ch in text:
            if f.getlength(current + ch) <= width or not current:
                current += ch
            else:
                lines.append(current)
                current = ch
        lines.append(current)
    return lines
