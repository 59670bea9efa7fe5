"""The one palette and the one type family every picture of the program uses."""

from PIL import ImageFont

# Brand and surfaces.
NAVY = (24, 36, 74)
NAVY_LIGHT = (46, 62, 112)
ACCENT = (41, 121, 255)
ACCENT_DARK = (23, 88, 205)
ACCENT_SOFT = (228, 238, 255)
AMBER = (255, 184, 28)
GREEN = (30, 170, 102)
RED = (232, 64, 76)

PAGE = (241, 244, 249)
CARD = (255, 255, 255)
BORDER = (221, 226, 235)
TRACK = (216, 221, 230)
GREY_OFF = (178, 186, 199)
INK = (28, 35, 51)
MUTED = (104, 114, 134)
ON_NAVY = (255, 255, 255)
ON_NAVY_MUTED = (178, 192, 230)

# Background of the version field: the program paints its version label on this grey.
VERSION_GREY = (214, 214, 214)

# Noto Sans CJK (SIL Open Font License), Simplified Chinese face of the collection.
_FONT_FILES = {
    False: "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
    True: "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc",
}
_SC_INDEX = 2
_cache = {}


def font(size, bold=False):
    """Font of the given pixel size; cached because pages ask for the same few."""
    key = (size, bold)
    if key not in _cache:
        _cache[key] = ImageFont.truetype(_FONT_FILES[bold], size, index=_SC_INDEX)
    return _cache[key]


def rgba(colour, alpha=255):
    return (colour[0], colour[1], colour[2], alpha)
