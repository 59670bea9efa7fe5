"""Every PNG picture of the program: resource id, file name and exact size."""

import not_ready_page
import settings_page
import splash
import widgets

PICTURES = [
    (133, "low_battery.png", (40, 27)),
    (134, "switch_off.png", (45, 16)),
    (135, "switch_on.png", (45, 16)),
    (136, "pointer_toggle_off.png", (32, 32)),
    (140, "settings_zh.png", (621, 462)),
    (141, "settings_en.png", (621, 462)),
    (145, "not_ready_zh.png", (596, 446)),
    (146, "not_ready_en.png", (596, 445)),
    (151, "pointer_toggle_on.png", (32, 32)),
    (152, "splash_zh.png", (568, 436)),
    (153, "splash_en.png", (568, 436)),
    (158, "pointer_arrow.png", (18, 24)),
    (159, "slider_thumb.png", (30, 18)),
    (161, "channel_filled.png", (250, 18)),
    (162, "channel_empty.png", (250, 18)),
    (178, "hue_spectrum.png", (250, 18)),
    (179, "grey_channel.png", (261, 18)),
]


def draw_all():
    """id -> picture."""
    pictures = widgets.all_small()
    pictures[140] = settings_page.draw("zh")
    pictures[141] = settings_page.draw("en")
    pictures[145] = not_ready_page.draw("zh")
    pictures[146] = not_ready_page.draw("en")
    pictures[152] = splash.draw("zh")
    pictures[153] = splash.draw("en")
    for pid, name, size in PICTURES:
        if pictures[pid].size != size:
            raise ValueError(f"{name}: drawn {pictures[pid].size}, expected {size}")
    return pictures
