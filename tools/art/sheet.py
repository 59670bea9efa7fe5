"""The contact sheet: every picture at 1:1, and each page once more with the
program's controls composited where the code draws them and its click regions
outlined, so the art can be checked against the coordinates by eye."""

from PIL import Image, ImageDraw

import not_ready_page
import settings_page as sp
from catalogue import PICTURES
from palette import font

GAP = 24
HIT = (230, 0, 160, 255)
CONTROL = (0, 170, 200, 255)


def _mock_settings(pictures, lang):
    """The settings page as the program shows it: switches, sliders, arrow,
    battery, version label and colour dot at their places."""
    page = pictures[140 if lang == "zh" else 141].copy()
    page.alpha_composite(pictures[133], sp.BATTERY[:2])
    page.alpha_composite(pictures[135], sp.AUTOSTART_SWITCH[:2])
    page.alpha_composite(pictures[134], sp.ANTILOST_SWITCH[:2])
    page.alpha_composite(pictures[135], sp.TIMER_SWITCH[:2])
    page.alpha_composite(pictures[151], sp.POINTER_TOGGLE[:2])
    cx = (sp.PREVIEW[0] + sp.PREVIEW[2]) // 2
    cy = (sp.PREVIEW[1] + sp.PREVIEW[3]) // 2
    page.alpha_composite(pictures[158], (cx, cy))
    for (x, y, _, _), left, right, split in ((sp.BRIGHTNESS_SLIDER, 161, 162, 180),
                                              (sp.COLOUR_SLIDER, 178, 178, 60),
                                              (sp.SPEED_SLIDER, 161, 162, 125)):
        page.alpha_composite(pictures[left].crop((0, 0, split, 18)), (x, y))
        page.alpha_composite(pictures[right].crop((split, 0, 250, 18)), (x + split, y))
        page.alpha_composite(pictures[159].crop((0, 0, 10, 18)), (x + split - 5, y))
    d = ImageDraw.Draw(page)
    d.rectangle((sp.VERSION_FIELD[0], sp.VERSION_FIELD[1], sp.VERSION_FIELD[2] - 1, sp.VERSION_FIELD[3] - 1),
                fill=(214, 214, 214))
    d.text((sp.VERSION_FIELD[0] + 2, sp.VERSION_FIELD[1] + 3), "1.0.0.1", fill=(0, 0, 0), font=font(11))
    d.ellipse((sp.COLOUR_DOT[0], sp.COLOUR_DOT[1], sp.COLOUR_DOT[2] - 1, sp.COLOUR_DOT[3] - 1), fill=(255, 127, 0))
    box = sp.MINUTES_BOX
    d.rectangle((box[0], box[1], box[2] - 1, box[3] - 1), fill=(120, 120, 120))
    d.text(((box[0] + box[2]) // 2, (box[1] + box[3]) // 2), "40", fill=(0, 255, 255), font=font(12), anchor="mm")
    return page


def _outline(page, regions, colour):
    d = ImageDraw.Draw(page)
    for item in regions:
        box = item[1] if isinstance(item[1], tuple) else item
        d.rectangle((box[0], box[1], box[2] - 1, box[3] - 1), outline=colour)
    return page


def build(pictures, icon_pictures):
    rows = []
    small = [pid for pid, _, (w, h) in PICTURES if w < 300]
    rows.append([(f"{pid}  {pictures[pid].size[0]}x{pictures[pid].size[1]}", pictures[pid]) for pid in small])
    icons = []
    for name, (_, images) in icon_pictures.items():
        for im in images:
            icons.append((f"{name} {im.size[0]}", im))
    rows.append(icons)
    for lang in ("en", "zh"):
        sid = 141 if lang == "en" else 140
        nid = 146 if lang == "en" else 145
        rows.append([(f"{sid} settings {lang}", pictures[sid]),
                     (f"{sid} as shown, hit regions (magenta), control areas (cyan)",
                      _outline(_outline(_mock_settings(pictures, lang), sp.HIT_REGIONS, HIT), sp.CONTROL_AREAS, CONTROL))])
        rows.append([(f"{nid} not ready {lang}", pictures[nid]),
                     (f"{nid} hit regions", _outline(pictures[nid].copy(), not_ready_page.HIT_REGIONS, HIT))])
    rows.append([("153 splash en", pictures[153]), ("152 splash zh", pictures[152])])
    return _compose(rows)


def _compose(rows):
    label_h = 18

    def cell(label, im):
        return max(im.size[0], int(font(12).getlength(label)) + 4)

    width = max(sum(cell(label, im) for label, im in row) + GAP * (len(row) + 1) for row in rows)
    height = GAP + sum(max(im.size[1] for _, im in row) + label_h + GAP for row in rows)
    sheet = Image.new("RGBA", (width, height), (200, 204, 210, 255))
    d = ImageDraw.Draw(sheet)
    y = GAP
    for row in rows:
        x = GAP
        for label, im in row:
            d.text((x, y), label, fill=(20, 20, 20), font=font(12))
            _checker(sheet, x, y + label_h, im.size)
            sheet.alpha_composite(im, (x, y + label_h))
            x += cell(label, im) + GAP
        y += max(im.size[1] for _, im in row) + label_h + GAP
    return sheet


def _checker(sheet, x, y, size):
    """A light checkerboard behind each picture shows its transparent parts."""
    d = ImageDraw.Draw(sheet)
    w, h = size
    for cy in range(0, h, 8):
        for cx in range(0, w, 8):
            shade = 236 if (cx // 8 + cy // 8) % 2 else 252
            d.rectangle((x + cx, y + cy, x + min(cx + 8, w) - 1, y + min(cy + 8, h) - 1), fill=(shade, shade, shade))
