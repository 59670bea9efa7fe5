"""The small pictures: switches, toggles, battery, pointer, slider parts."""

from PIL import Image

from canvas import Canvas
from palette import ACCENT, ACCENT_DARK, BORDER, GREEN, GREY_OFF, INK, RED, TRACK

WHITE = (255, 255, 255)


def low_battery():
    """40 x 27, drawn over the navy title strip: white outline, red charge."""
    c = Canvas(40, 27)
    c.rect((4, 6, 33, 21), outline=WHITE, width=2, radius=3.5)
    c.rect((33, 10.5, 36.5, 16.5), fill=WHITE, radius=1.2)
    c.rect((7, 9, 12, 18), fill=RED, radius=1.5)
    return c.image()


def switch(on):
    """45 x 16 pill switch."""
    c = Canvas(45, 16)
    c.rect((0, 0, 45, 16), fill=ACCENT if on else GREY_OFF, radius=8)
    knob_x = 37 if on else 8
    c.circle(knob_x, 8, 6, fill=WHITE)
    return c.image()


def pointer_toggle(on):
    """32 x 32: green disc with a tick when on, an empty grey ring when off."""
    c = Canvas(32, 32)
    if on:
        c.circle(16, 16, 15, fill=GREEN)
        c.line([(9, 16.5), (14, 21.5), (23, 11.5)], WHITE, width=3)
    else:
        c.circle(16, 16, 15, fill=(246, 247, 250))
        c.circle(16, 16, 14, outline=GREY_OFF, width=2)
    return c.image()


def pointer_arrow():
    """18 x 24 mouse pointer whose tip is the top-left pixel."""
    c = Canvas(18, 24)
    outline = [(0, 0), (0, 20.5), (5, 16), (8.6, 23.6), (12.2, 22), (8.8, 14.8), (15.2, 14.8)]
    c.polygon(outline, fill=INK)
    inner = [(1.5, 3.3), (1.5, 17.2), (5.4, 13.6), (9.3, 21.6), (10.4, 21.1), (6.7, 13.3), (11.6, 13.3)]
    c.polygon(inner, fill=WHITE)
    return c.image()


def slider_thumb():
    """30 x 18: three 10 x 18 frames, normal, hover and pressed."""
    c = Canvas(30, 18)
    styles = [(WHITE, BORDER), (WHITE, ACCENT), (ACCENT, ACCENT_DARK)]
    for i, (fill, edge) in enumerate(styles):
        x = i * 10
        c.rect((x + 0.5, 0.5, x + 9.5, 17.5), fill=(0, 0, 0, 40), radius=4)
        c.rect((x + 0.5, 0.5, x + 9.5, 17), fill=fill, outline=edge, width=1.2, radius=4)
    return c.image()


def channel(width, colour, height=6):
    """A rounded slider track across the whole width, centred in 18 pixels."""
    c = Canvas(width, 18)
    top = (18 - height) / 2
    c.rect((0, top, width, top + height), fill=colour, radius=height / 2)
    return c.image()


def channel_filled():
    return channel(250, ACCENT)


def channel_empty():
    return channel(250, TRACK)


def grey_channel():
    return channel(261, GREY_OFF)


def hue_to_color(i):
    """The program's colour of hue index i (0..239), as (red, green, blue)."""
    if i >= 240:
        return (255, 0, 0)
    s, t = divmod(i, 40)
    v = (39 - t) * 255 // 40 if s % 2 else t * 255 // 40
    return [(255, v, 0), (v, 255, 0), (0, 255, v), (0, v, 255), (v, 0, 255), (255, 0, v)][s]


# Where the trackbar puts the centre of its thumb for the first and the last
# position in a 250-pixel control; the spectrum is laid out between them so the
# colour under the thumb is the colour the circle gets.
HUE_FIRST_X = 8
HUE_LAST_X = 241


def hue_index_at(x):
    if x <= HUE_FIRST_X:
        return 0
    if x >= HUE_LAST_X:
        return 239
    return round((x - HUE_FIRST_X) * 239 / (HUE_LAST_X - HUE_FIRST_X))


def hue_spectrum():
    """250 x 18: the whole hue circle, red to red, in a rounded 8-pixel track."""

    strip = Image.new("RGBA", (250, 18), (0, 0, 0, 0))
    mask = channel(250, (0, 0, 0), height=8).getchannel("A")
    px = strip.load()
    for x in range(250):
        r, g, b = hue_to_color(hue_index_at(x))
        for y in range(18):
            px[x, y] = (r, g, b, 255)
    strip.putalpha(mask)
    return strip


def all_small():
    """id -> picture of every small picture."""
    return {
        133: low_battery(),
        134: switch(False),
        135: switch(True),
        136: pointer_toggle(False),
        151: pointer_toggle(True),
        158: pointer_arrow(),
        159: slider_thumb(),
        161: channel_filled(),
        162: channel_empty(),
        178: hue_spectrum(),
        179: grey_channel(),
    }


