"""The small sample slide under the spotlight preview: a title, bullet lines,
a bar chart and a ring chart, without words so it suits both languages."""

from palette import ACCENT, AMBER, BORDER, GREEN, NAVY, TRACK


def draw_slide(c, left, top, right, bottom):
    w = right - left
    h = bottom - top
    c.rect((left, top, right, bottom), fill=(255, 255, 255), outline=BORDER, width=1)
    # Title bar and subtitle.
    c.rect((left, top, right, top + 26), fill=NAVY)
    c.rect((left + 12, top + 9, left + 120, top + 17), fill=(255, 255, 255), radius=4)
    c.rect((left + 128, top + 10, left + 170, top + 16), fill=(150, 168, 214), radius=3)
    # Bullets on the left half.
    y = top + 42
    for length in (92, 74, 100, 60):
        c.circle(left + 17, y + 3, 3, fill=ACCENT)
        c.rect((left + 26, y, left + 26 + length, y + 6), fill=TRACK, radius=3)
        y += 18
    # Bar chart on the right half.
    base = bottom - 16
    cx = left + w * 0.52
    c.line([(cx - 4, base), (right - 84, base)], BORDER, width=1.2)
    for i, (height, colour) in enumerate(((34, ACCENT), (56, ACCENT), (44, AMBER), (74, GREEN))):
        x = cx + 4 + i * 16
        c.rect((x, base - height, x + 11, base), fill=colour, radius=2)
    # Ring chart.
    rcx = right - 40
    rcy = top + 26 + (h - 26) / 2
    box = (rcx - 26, rcy - 26, rcx + 26, rcy + 26)
    c.arc(box, -90, 130, ACCENT, width=11)
    c.arc(box, 130, 215, AMBER, width=11)
    c.arc(box, 215, 270, GREEN, width=11)
