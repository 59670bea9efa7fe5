"""Checks of the generated art against what the program relies on: exact
sizes and RGBA, plain control areas on the pages, the hue strip against the
program's colour math, icons and alarm sounds, and a reproducible generator
whose output matches the committed files."""

import filecmp
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import wave

from PIL import Image

ROOT = os.environ.get("PV_SOURCE_DIR") or os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
RESOURCES = os.path.join(ROOT, "resources")
ART = os.path.join(RESOURCES, "art")

SIZES = {
    133: (40, 27), 134: (45, 16), 135: (45, 16), 136: (32, 32), 140: (621, 462), 141: (621, 462),
    145: (596, 446), 146: (596, 445), 151: (32, 32), 152: (568, 436), 153: (568, 436), 158: (18, 24),
    159: (30, 18), 161: (250, 18), 162: (250, 18), 178: (250, 18), 179: (261, 18),
}
SOFT_EDGED = (133, 134, 135, 136, 151, 158, 159, 161, 162, 178, 179)


def _ids():
    with open(os.path.join(RESOURCES, "resource_ids.h"), encoding="utf-8") as f:
        return {name: int(value) for name, value in re.findall(r"#define (\w+) (\d+)", f.read())}


def rc_files(kind):
    """id -> file of every resource of `kind` named in pictures.rc."""
    ids = _ids()
    with open(os.path.join(RESOURCES, "pictures.rc"), encoding="utf-8") as f:
        pairs = re.findall(r"^(\w+) " + kind + r' "([^"]+)"', f.read(), re.M)
    return {ids[name]: os.path.join(RESOURCES, path) for name, path in pairs}


def hue_to_color(i):
    s, t = divmod(i, 40)
    v = (39 - t) * 255 // 40 if s % 2 else t * 255 // 40
    return [(255, v, 0), (v, 255, 0), (0, 255, v), (0, v, 255), (v, 0, 255), (255, 0, v)][s]


class PictureTest(unittest.TestCase):
    def test_every_picture_is_rgba_of_its_exact_size(self):
        files = rc_files("PNG")
        self.assertEqual(sorted(files), sorted(SIZES))
        for pid, path in files.items():
            with self.subTest(pid=pid), Image.open(path) as im:
                self.assertEqual(im.format, "PNG")
                self.assertEqual(im.mode, "RGBA")
                self.assertEqual(im.size, SIZES[pid])

    def test_small_pictures_have_soft_edges_and_transparent_surroundings(self):
        files = rc_files("PNG")
        for pid in SOFT_EDGED:
            with self.subTest(pid=pid), Image.open(files[pid]) as im:
                alphas = set(im.getchannel("A").getdata())
                self.assertIn(0, alphas)
                self.assertTrue(any(0 < a < 255 for a in alphas), "anti-aliased edge")

    def test_pages_are_opaque(self):
        files = rc_files("PNG")
        for pid in (140, 141, 145, 146, 152, 153):
            with self.subTest(pid=pid), Image.open(files[pid]) as im:
                self.assertEqual(im.getchannel("A").getextrema(), (255, 255))

    def test_settings_pages_leave_control_areas_plain(self):
        # Controls are drawn over these rectangles; art under them would show.
        # The colour dot is a disc, so only the square inside it is checked.
        plain = {
            "brightness slider": (15, 269, 265, 287), "colour slider": (48, 342, 298, 360),
            "speed slider": (30, 413, 280, 431), "colour dot": (17, 341, 37, 361),
            "pointer toggle": (274, 262, 306, 294), "autostart": (555, 175, 600, 191),
            "anti-lost": (555, 218, 600, 234), "timer": (555, 268, 600, 284), "minutes": (555, 290, 597, 310),
            "battery": (413, 10, 453, 37),
        }
        files = rc_files("PNG")
        for pid in (140, 141):
            with Image.open(files[pid]) as im:
                for name, box in plain.items():
                    with self.subTest(pid=pid, area=name):
                        self.assertEqual(len(set(im.crop(box).getdata())), 1)
                with self.subTest(pid=pid, area="version field"):
                    self.assertEqual(set(im.crop((455, 85, 505, 105)).getdata()), {(214, 214, 214, 255)})

    def test_hue_strip_shows_the_circle_colour_under_the_thumb(self):
        # The trackbar centres its thumb about 8 px in from each end.
        with Image.open(rc_files("PNG")[178]) as im:
            for index in (0, 20, 40, 80, 120, 159, 200, 239):
                x = round(8 + index * (241 - 8) / 239)
                with self.subTest(index=index):
                    got = im.getpixel((x, 9))[:3]
                    want = hue_to_color(index)
                    self.assertLessEqual(max(abs(a - b) for a, b in zip(got, want)), 12, (got, want))

    def test_pointer_arrow_tip_is_the_top_left_pixel(self):
        with Image.open(rc_files("PNG")[158]) as im:
            self.assertGreater(im.getpixel((0, 0))[3], 100)
            self.assertEqual(im.getpixel((17, 0))[3], 0)
            self.assertEqual(im.getpixel((0, 23))[3], 0)

    def test_thumb_strip_has_three_different_frames(self):
        with Image.open(rc_files("PNG")[159]) as im:
            frames = [im.crop((i * 10, 0, i * 10 + 10, 18)).tobytes() for i in range(3)]
        self.assertEqual(len(set(frames)), 3)


class IconTest(unittest.TestCase):
    def test_icons_have_five_sizes_of_32_bit_images(self):
        files = rc_files("ICON")
        self.assertEqual(sorted(files), [128, 155, 156])
        for pid, path in files.items():
            with self.subTest(pid=pid), open(path, "rb") as f:
                data = f.read()
            _, kind, count = struct.unpack_from("<HHH", data)
            self.assertEqual((kind, count), (1, 5))
            sizes = []
            for i in range(count):
                w, _, _, _, _, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
                sizes.append(w or 256)
                self.assertEqual(bits, 32)
                self.assertLessEqual(offset + length, len(data))
            self.assertEqual(sizes, [16, 24, 32, 48, 256])

    def test_linked_and_unlinked_tray_icons_differ(self):
        files = rc_files("ICON")
        self.assertFalse(filecmp.cmp(files[155], files[156], shallow=False))


class SoundTest(unittest.TestCase):
    def test_alarms_are_loud_unclipped_mono_pcm(self):
        files = rc_files("WAVE")
        for pid, rate, seconds in ((174, 16000, 4.8), (175, 22050, 5.2)):
            with self.subTest(pid=pid), wave.open(files[pid]) as w:
                self.assertEqual((w.getnchannels(), w.getsampwidth(), w.getframerate()), (1, 2, rate))
                self.assertAlmostEqual(w.getnframes() / rate, seconds, delta=0.05)
                frames = w.readframes(w.getnframes())
            samples = struct.unpack(f"<{len(frames) // 2}h", frames)
            peak = max(abs(s) for s in samples)
            self.assertGreater(peak, 26000)
            self.assertLess(peak, 32767)


class GeneratorTest(unittest.TestCase):
    def test_generator_is_reproducible_and_committed_files_are_current(self):
        script = os.path.join(ROOT, "tools", "art", "generate.py")
        with tempfile.TemporaryDirectory() as tmp:
            runs = [os.path.join(tmp, "a"), os.path.join(tmp, "b")]
            for out in runs:
                subprocess.run([sys.executable, "-B", script, "--out", out, "--sheet", ""], check=True,
                               stdout=subprocess.DEVNULL)
            names = sorted(os.listdir(runs[0]))
            self.assertEqual(names, sorted(os.listdir(runs[1])))
            committed = sorted(n for n in os.listdir(ART))
            self.assertEqual(names, committed)
            for name in names:
                with self.subTest(file=name):
                    self.assertTrue(filecmp.cmp(os.path.join(runs[0], name), os.path.join(runs[1], name), shallow=False),
                                    "differs between two runs")
                    self.assertTrue(filecmp.cmp(os.path.join(runs[0], name), os.path.join(ART, name), shallow=False),
                                    "committed file is stale: run tools/art/generate.sh")


if __name__ == "__main__":
    unittest.main()
