"""The page shown while the receiver is missing or the remote is off:
596 x 445 (English) or 596 x 446 (Chinese)."""

from canvas import Canvas, wrap
from palette import ACCENT, ACCENT_SOFT, BORDER, CARD, INK, MUTED, PAGE
from remote_art import draw_receiver, draw_remote, draw_waves
from settings_page import title_strip
from texts import TEXTS

WIDTH = 596
HEIGHTS = {"en": 445, "zh": 446}
HELP_LINK = (43, 326, 163, 370)
HIT_REGIONS = [("drag", (0, 0, WIDTH, 60)), ("help", HELP_LINK)]
STEP_X = 43
TEXT_X = 76
TEXT_WIDTH = 250


def draw(lang):
    t = TEXTS[lang]
    height = HEIGHTS[lang]
    c = Canvas(WIDTH, height, PAGE + (255,))
    strip_text = title_strip(c, t, t["not_connected"], WIDTH)
    c.rect((20, 76, WIDTH - 20, height - 20), fill=CARD, outline=BORDER, width=1, radius=12)

    # Illustration: receiver, waves and the remote, on a soft disc.
    c.circle(456, 236, 112, fill=(236, 242, 255))
    draw_receiver(c, 352, 300, scale=1.0)
    draw_waves(c, 420, 290, angle=-40)
    draw_remote(c, 470, 118, scale=0.9)

    lines = [wrap(step, 14, TEXT_WIDTH) for step in t["steps"]]
    tops = []
    y = 152
    for block in lines:
        tops.append(y)
        y += len(block) * 22 + 20
    for i, top in enumerate(tops):
        c.circle(STEP_X + 12, top + 10, 12, fill=ACCENT_SOFT)
    c.rect(HELP_LINK, fill=ACCENT_SOFT, outline=(190, 212, 255), width=1, radius=10)
    c.circle(HELP_LINK[0] + 30, 348, 11, fill=ACCENT)

    strip_text()
    c.text((STEP_X, 114), t["connect_title"], 22, INK, bold=True, anchor="lm")
    for i, (top, block) in enumerate(zip(tops, lines)):
        c.text((STEP_X + 12, top + 10), str(i + 1), 13, ACCENT, bold=True, anchor="mm")
        for j, line in enumerate(block):
            c.text((TEXT_X, top + 10 + j * 22), line, 14, INK if i < 2 else MUTED, anchor="lm")
    c.text((HELP_LINK[0] + 30, 348), "?", 14, (255, 255, 255), bold=True, anchor="mm")
    c.text((HELP_LINK[0] + 50, 348), t["help"], 15, ACCENT, bold=True, anchor="lm")
    return c.image()
