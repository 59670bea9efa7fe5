"""The settings page (621 x 462). The program draws its controls at fixed
pixels over this picture, so every control area below is left plain and the
labels and frames sit around exactly those rectangles."""

from canvas import Canvas
from logo import draw_logo
from palette import (ACCENT, ACCENT_SOFT, BORDER, CARD, INK, MUTED, NAVY, ON_NAVY,
                     ON_NAVY_MUTED, PAGE, VERSION_GREY)
from slide import draw_slide
from texts import TEXTS

WIDTH, HEIGHT = 621, 462
DRAG_STRIP = 60

# Rectangles the program uses (left, top, right, bottom), client pixels.
BATTERY = (413, 10, 453, 37)
VERSION_FIELD = (455, 85, 505, 105)
UPDATE_LINK = (550, 82, 605, 106)
HELP_LINK = (556, 126, 606, 150)
PREVIEW = (15, 103, 305, 251)
POINTER_TOGGLE = (274, 262, 306, 294)
BRIGHTNESS_SLIDER = (15, 269, 265, 287)
COLOUR_DOT = (13, 337, 41, 365)
COLOUR_SLIDER = (48, 342, 298, 360)
SPEED_SLIDER = (30, 413, 280, 431)
AUTOSTART_SWITCH = (555, 175, 600, 191)
ANTILOST_SWITCH = (555, 218, 600, 234)
TIMER_SWITCH = (555, 268, 600, 284)
MINUTES_BOX = (555, 290, 597, 310)

HIT_REGIONS = [
    ("drag", (0, 0, WIDTH, DRAG_STRIP)),
    ("update", UPDATE_LINK),
    ("help", HELP_LINK),
    ("pointer", POINTER_TOGGLE),
    ("autostart", AUTOSTART_SWITCH),
    ("antilost", ANTILOST_SWITCH),
    ("timer", TIMER_SWITCH),
]
CONTROL_AREAS = [BATTERY, VERSION_FIELD, PREVIEW, BRIGHTNESS_SLIDER, COLOUR_DOT,
                 COLOUR_SLIDER, SPEED_SLIDER, MINUTES_BOX]

LEFT_CARD = (7, 68, 316, 454)
RIGHT_CARD = (324, 68, 614, 454)
LABEL_X = 338


def title_strip(c, t, subtitle, width):
    c.rect((0, 0, width, DRAG_STRIP), fill=NAVY)
    draw_logo(c, 16, 14, 32)
    return lambda: (
        c.text((60, 30), t["product"], 19, ON_NAVY, bold=True, anchor="lm"),
        c.text((width - 16, 30), subtitle, 13, ON_NAVY_MUTED, anchor="rm"),
    )


def draw(lang):
    t = TEXTS[lang]
    c = Canvas(WIDTH, HEIGHT, PAGE + (255,))
    strip_text = title_strip(c, t, t["settings"], WIDTH)
    for card in (LEFT_CARD, RIGHT_CARD):
        c.rect(card, fill=CARD, outline=BORDER, width=1, radius=10)

    draw_slide(c, *PREVIEW)
    # A faint ring round the colour dot, outside the disc the program paints.
    l, t_, r, b = COLOUR_DOT
    c.ellipse((l - 2.5, t_ - 2.5, r + 2.5, b + 2.5), outline=BORDER, width=1.2)
    # Small pointer glyph before the speed slider.
    c.polygon([(14, 415), (14, 428), (17.2, 425.2), (19.6, 430), (21.4, 429.2), (19.2, 424.4), (23.2, 424.4)],
              fill=MUTED)
    c.line([(15, 316), (308, 316)], BORDER, width=1, round_caps=False)
    c.line([(15, 384), (308, 384)], BORDER, width=1, round_caps=False)

    # Right card: version and help rows, then the option switches.
    vl, vt, vr, vb = VERSION_FIELD
    c.rect((vl - 3, vt - 3, vr + 3, vb + 3), fill=VERSION_GREY, radius=4)
    c.rect(UPDATE_LINK, fill=ACCENT, radius=6)
    c.rect(HELP_LINK, fill=ACCENT_SOFT, radius=6)
    for y in (163, 252, 338):
        c.line([(LABEL_X, y), (606, y)], BORDER, width=1, round_caps=False)
    c.rect((LABEL_X - 4, 348, 606, 446), fill=(247, 249, 252), radius=8)
    for i in range(3):
        c.circle(LABEL_X + 10, 390 + i * 20, 2, fill=ACCENT)

    strip_text()
    c.text((15, 86), t["preview"], 14, INK, bold=True, anchor="lm")
    c.text((15, 259), t["brightness"], 12, INK, anchor="lm")
    c.text((290, 303), t["pointer"], 11, MUTED, anchor="mm")
    c.text((15, 326), t["laser_colour"], 12, INK, anchor="lm")
    c.text((15, 398), t["pointer_speed"], 12, INK, anchor="lm")
    c.text((30, 442), t["slow"], 11, MUTED, anchor="lm")
    c.text((280, 442), t["fast"], 11, MUTED, anchor="rm")

    c.text((LABEL_X, 94), t["version"], 13, INK, anchor="lm")
    c.text(_centre(UPDATE_LINK), t["update"], 12, (255, 255, 255), bold=True, anchor="mm")
    c.text((LABEL_X, 138), t["manual"], 13, INK, anchor="lm")
    c.text(_centre(HELP_LINK), t["help"], 12, ACCENT, bold=True, anchor="mm")

    for (label, hint), switch in (((t["autostart"], t["autostart_hint"]), AUTOSTART_SWITCH),
                                  ((t["antilost"], t["antilost_hint"]), ANTILOST_SWITCH)):
        cy = (switch[1] + switch[3]) / 2
        c.text((LABEL_X, cy), label, 13, INK, anchor="lm")
        c.text((LABEL_X, cy + 18), hint, 11, MUTED, anchor="lm")
    c.text((LABEL_X, 276), t["timer"], 13, INK, anchor="lm")
    c.text((LABEL_X, 300), t["duration"], 12, MUTED, anchor="lm")
    c.text((LABEL_X, 322), t["timer_hint"], 11, MUTED, anchor="lm")

    c.text((LABEL_X + 8, 366), t["tips"], 12, INK, bold=True, anchor="lm")
    for i, line in enumerate(t["tip_lines"]):
        y = 390 + i * 20
        c.text((LABEL_X + 20, y), line, 11, MUTED, anchor="lm")
    return c.image()


def _centre(box):
    return ((box[0] + box[2]) / 2, (box[1] + box[3]) / 2)
