"""The settings page under Wine with a simulated remote, driven by xdotool:
the three skinned sliders, the option switches, hover and clicks, dragging
the window, the version label, and the page in both languages."""
import time
import unittest

import harness
from page_helpers import (REG_PREFIX, SLIDER_BRIGHTNESS, SLIDER_CIRCLE_COLOR, SLIDER_POINTER_SPEED, TITLE,
                          VERSION_LABEL, ShownPage, art_pixel, close_to, hue_to_color, product_version,
                          receiver_sim, wait_until)

RUN_VALUE = "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
NOTICE_EN = "Anti-lost function is valid only when speaker is open."
UM_SHOW_MAIN = 0x465


def reg(session, name):
    return session.reg_dword(REG_PREFIX + name)


def run_value(session):
    result = session.wine(["reg", "query", "HKCU\\" + RUN_VALUE, "/v", "Presenter_Vela"], timeout=60)
    return result.stdout if result.returncode == 0 else None


def message_boxes(session):
    return [w for w in session.top_level_windows()
            if w.visible and w.class_name == "#32770" and w.text != TITLE]


def box_texts(session, box):
    return [c.text for c in session.child_windows(box.text)]


# The preview over the page's sample picture (client (15, 103) to (305, 251)):
# black at the spotlight's opacity (brightness 80: 215) around a hole of
# 500 x 148 / 1080 = 68 pixels at its centre (160, 177), where the arrow is.
PREVIEW_DARK_POINTS = ((30, 115), (220, 177), (290, 240))
PREVIEW_HOLE_POINTS = ((140, 192), (160, 160))


def assert_preview_over_the_sample(test, page, shot, art):
    for x, y in PREVIEW_DARK_POINTS:
        darkened = tuple(round(c * (255 - 215) / 255) for c in art_pixel(art, x, y))
        test.assertTrue(close_to(page.pixel(shot, x, y), darkened, 8),
                        ("no preview darkness at", (x, y), page.pixel(shot, x, y), darkened))
    for x, y in PREVIEW_HOLE_POINTS:
        test.assertTrue(close_to(page.pixel(shot, x, y), art_pixel(art, x, y), 8),
                        ("no hole at", (x, y), page.pixel(shot, x, y), art_pixel(art, x, y)))


class SettingsPageEnglish(unittest.TestCase):
    """English user interface, receiver plugged in, remote on."""

    @classmethod
    def setUpClass(cls):
        cls.ctx = harness.context()
        cls.session_cm = harness.WineSession(cls.ctx.build_dir, cls.ctx.artifacts, "page-en")
        cls.session = cls.session_cm.__enter__()
        try:
            cls.page = ShownPage(cls.session, cls.ctx)
        except Exception:
            cls.session.screenshot("page-en-start-failed")
            cls.session_cm.__exit__(None, None, None)
            raise

    @classmethod
    def tearDownClass(cls):
        try:
            cls.page.close()
        finally:
            cls.session_cm.__exit__(None, None, None)

    def setUp(self):
        if not self.session.window_visible(TITLE):
            self.page.show()
        self.page.move(300, 440)  # off every region

    def test_0_the_first_showing_has_the_preview_above_the_page(self):
        # setUpClass showed the page for the first time; nothing has shown it since.
        shot = self.page.screenshot("settings-page-en-first")
        assert_preview_over_the_sample(self, self.page, shot, "settings_en.png")

    def test_a_page_shows_every_control_and_the_version(self):
        page = self.page
        shot = page.screenshot("settings-page-en")
        label = page.control(VERSION_LABEL)
        self.assertTrue(label.visible)
        self.assertEqual(label.text, product_version())
        # Switches off (AutoBoot, AntiLost) and the pointer toggle on, from their own pictures.
        for at, art in (((555, 175), "switch_off.png"), ((555, 218), "switch_off.png"),
                        ((274, 262), "pointer_toggle_on.png")):
            x, y = at[0] + 22 if art.startswith("switch") else at[0] + 16, at[1] + 8
            expected = art_pixel(art, x - at[0], y - at[1])
            self.assertTrue(close_to(page.pixel(shot, x, y), expected, 12), (art, page.pixel(shot, x, y), expected))
        # The colour dot in red (CircleColor 0 at first start).
        self.assertTrue(close_to(page.pixel(shot, 27, 351), (255, 0, 0)), page.pixel(shot, 27, 351))
        # Three skinned sliders of the channel's size, each with its thumb.
        for slider_id in (SLIDER_BRIGHTNESS, SLIDER_POINTER_SPEED, SLIDER_CIRCLE_COLOR):
            slider = page.control(slider_id)
            self.assertEqual(slider.size, (250, 18), slider_id)
            page.thumb_of(slider_id)

    def test_a_low_battery_symbol_blinks_at_its_place(self):
        page = self.page
        at = (413 + 8, 10 + 13)  # a red pixel of the symbol, left of the top-right "Settings"
        page.remote.status = receiver_sim.ST_LOW_BATTERY
        try:
            seen = []
            deadline = time.monotonic() + 6
            while time.monotonic() < deadline and len(set(seen)) < 2:
                shot = page.screenshot("low-battery")
                seen.append(close_to(page.pixel(shot, *at), art_pixel("low_battery.png", 8, 13), 12))
                time.sleep(0.4)
            self.assertIn(True, seen, "the symbol never showed at (413, 10)")
            self.assertIn(False, seen, "the symbol does not blink")
        finally:
            page.remote.status = 0
        self.assertTrue(wait_until(lambda: close_to(page.pixel(page.screenshot("battery-gone"), *at),
                                                    art_pixel("settings_en.png", *at), 2), 5))

    def test_b_brightness_drag_stores_brightness(self):
        page = self.page
        slider = page.control(SLIDER_BRIGHTNESS).rect
        page.drag_thumb(SLIDER_BRIGHTNESS, slider[0] - 30)
        self.assertTrue(wait_until(lambda: reg(self.session, "Brightness") == 0, 5), reg(self.session, "Brightness"))
        # The preview follows at once: the sample picture under it dimmed at opacity 55 (it was 215).
        # (On the page's first showing Wine stacks the page's X window above its owned preview; the
        # page shown again, already active, has the preview on top.)
        self.session.probe("post", TITLE, str(UM_SHOW_MAIN))
        at = (25, 110)  # inside the preview, away from its hole
        wanted = tuple(round(c * (255 - 55) / 255) for c in art_pixel("settings_en.png", *at))
        seen = []
        self.assertTrue(wait_until(lambda: seen.append(page.pixel(page.screenshot("brightness-0"), *at)) or
                                   close_to(seen[-1], wanted, 8), 5), f"preview {seen[-1:]}, wanted {wanted}")
        page.drag_thumb(SLIDER_BRIGHTNESS, slider[2] + 30)
        self.assertTrue(wait_until(lambda: reg(self.session, "Brightness") == 100, 5), reg(self.session, "Brightness"))
        page.drag_thumb(SLIDER_BRIGHTNESS, (slider[0] + slider[2]) // 2)
        middle = reg(self.session, "Brightness")
        self.assertTrue(35 <= middle <= 65, middle)
        # The thumb sits where the value is: the channel left of it is the filled picture.
        shot = page.screenshot("brightness-middle")
        thumb = page.thumb_of(SLIDER_BRIGHTNESS).rect
        left = page.rect[0]
        filled_x, empty_x = thumb[0] - left - 20, thumb[2] - left + 20
        self.assertTrue(close_to(page.pixel(shot, filled_x, 269 + 9), art_pixel("channel_filled.png", filled_x - 15, 9), 6))
        self.assertTrue(close_to(page.pixel(shot, empty_x, 269 + 9), art_pixel("channel_empty.png", empty_x - 15, 9), 6))

    def test_c_wheel_leaves_the_slider_where_it_was(self):
        page = self.page
        before = reg(self.session, "Brightness")
        thumb_before = page.thumb_of(SLIDER_BRIGHTNESS).rect
        slider = page.control(SLIDER_BRIGHTNESS).rect
        self.session.xdotool("mousemove", str(slider[0] + 40), str(slider[1] + 9))
        time.sleep(0.2)
        for button in ("4", "4", "5", "5", "5"):
            self.session.xdotool("click", button)
            time.sleep(0.1)
        time.sleep(0.5)
        self.assertEqual(reg(self.session, "Brightness"), before)
        self.assertEqual(page.thumb_of(SLIDER_BRIGHTNESS).rect, thumb_before)

    def test_d_colour_slider_changes_colour_and_the_dot(self):
        page = self.page
        slider = page.control(SLIDER_CIRCLE_COLOR).rect
        for target in (slider[0] + 85, slider[0] + 170):
            page.drag_thumb(SLIDER_CIRCLE_COLOR, target)
            index = reg(self.session, "CircleColor")
            self.assertIsNotNone(index)
            self.assertGreater(index, 0)
            shot = page.screenshot(f"colour-{index}")
            self.assertTrue(close_to(page.pixel(shot, 27, 351), hue_to_color(index), 3),
                            (index, page.pixel(shot, 27, 351), hue_to_color(index)))

    def test_e_pointer_speed_reaches_the_next_output_report(self):
        page = self.page
        slider = page.control(SLIDER_POINTER_SPEED).rect
        page.drag_thumb(SLIDER_POINTER_SPEED, slider[0] + 60)
        speed = reg(self.session, "PointerSpeed")
        self.assertTrue(speed is not None and 1 <= speed < 50, speed)
        connection = page.remote.connection
        while True:  # drop what the program sent before
            try:
                connection.recv_frame(0.2)
            except TimeoutError:
                break
        connection.send(receiver_sim.state_request())
        report = receiver_sim.decode_output(connection.next_output(5))
        self.assertTrue(report.valid, report.problems)
        self.assertEqual(report.pointer_speed, speed)

    def test_f_autoboot_creates_and_removes_the_run_value(self):
        page = self.page
        self.assertIsNone(run_value(self.session))
        page.click(575, 183)
        self.assertTrue(wait_until(lambda: reg(self.session, "AutoBoot") == 1, 10), reg(self.session, "AutoBoot"))
        value = run_value(self.session)
        self.assertIsNotNone(value)
        self.assertIn("PresenterVela", value)
        desktop = self.session.prefix / "drive_c" / "users" / "root" / "Desktop"
        shortcuts = list(desktop.glob("*.lnk")) if desktop.exists() else []
        self.assertTrue(shortcuts, "no desktop shortcut")
        shot = page.screenshot("autoboot-on")
        self.assertTrue(close_to(page.pixel(shot, 577, 183), art_pixel("switch_on.png", 22, 8), 12))
        page.click(575, 183)
        self.assertTrue(wait_until(lambda: reg(self.session, "AutoBoot") == 0, 10), reg(self.session, "AutoBoot"))
        self.assertIsNone(run_value(self.session))
        shot = page.screenshot("autoboot-off")
        self.assertTrue(close_to(page.pixel(shot, 577, 183), art_pixel("switch_off.png", 22, 8), 12))

    def test_g_antilost_shows_the_notice_only_when_switched_on(self):
        page = self.page
        page.click(575, 226)
        self.assertTrue(wait_until(lambda: message_boxes(self.session), 10), "no notice")
        self.assertEqual(reg(self.session, "AntiLost"), 1)
        box = message_boxes(self.session)[0]
        self.assertEqual(box.text, "Presenter Vela")
        self.assertIn(NOTICE_EN, box_texts(self.session, box))
        self.session.screenshot("antilost-notice")
        self.session.close_window(box.text)
        self.assertTrue(wait_until(lambda: not message_boxes(self.session), 5))
        if not self.session.window_visible(TITLE):
            page.show()
        page.click(575, 226)
        self.assertTrue(wait_until(lambda: reg(self.session, "AntiLost") == 0, 5))
        time.sleep(1.0)
        self.assertEqual(message_boxes(self.session), [])

    def test_h_pointer_toggle_stores_default_and_draws_the_arrow(self):
        page = self.page
        arrow_at = (160 + 4, 177 + 6)  # inside the arrow picture at the preview's centre
        shot_on = page.screenshot("pointer-on")
        page.click(290, 278)
        self.assertTrue(wait_until(lambda: reg(self.session, "Default") == 0, 5))
        shot_off = page.screenshot("pointer-off")
        self.assertTrue(close_to(page.pixel(shot_off, *arrow_at), art_pixel("settings_en.png", *arrow_at), 4),
                        "the arrow is still drawn")
        self.assertFalse(close_to(page.pixel(shot_on, *arrow_at), page.pixel(shot_off, *arrow_at), 10),
                         "the arrow was not drawn while on")
        self.assertTrue(close_to(page.pixel(shot_off, 290, 278), art_pixel("pointer_toggle_off.png", 16, 16), 12))
        page.click(290, 278)
        self.assertTrue(wait_until(lambda: reg(self.session, "Default") == 1, 5))
        shot = page.screenshot("pointer-on-again")
        self.assertTrue(close_to(page.pixel(shot, *arrow_at), page.pixel(shot_on, *arrow_at), 4))

    def test_i_hover_darkens_the_help_link(self):
        page = self.page
        x, y = 556 + 40, 126 + 20
        plain = page.screenshot("help-plain")
        page.move(x, y)
        page.move(x + 1, y)
        time.sleep(0.3)
        dark = page.screenshot("help-hover")
        before, after = page.pixel(plain, x, y), page.pixel(dark, x, y)
        expected = tuple(round(50 * 63 / 255 + c * 192 / 255) for c in before)
        self.assertTrue(close_to(after, expected, 3), (before, after, expected))
        page.move(300, 440)
        time.sleep(0.3)
        self.assertTrue(close_to(page.pixel(page.screenshot("help-left"), x, y), before, 2))
        # The update link the same way (its check itself is the update page's).
        ux, uy = 550 + 5, 82 + 3
        plain = page.screenshot("update-plain")
        page.move(ux, uy)
        page.move(ux + 1, uy)
        time.sleep(0.3)
        before, after = page.pixel(plain, ux, uy), page.pixel(page.screenshot("update-hover"), ux, uy)
        expected = tuple(round(50 * 63 / 255 + c * 192 / 255) for c in before)
        self.assertTrue(close_to(after, expected, 3), (before, after, expected))

    def test_j_thumb_hover_and_pressed_looks(self):
        page = self.page
        l, t, r, b = page.thumb_of(SLIDER_CIRCLE_COLOR).rect
        x, y = (l + r) // 2, (t + b) // 2
        position = str(reg(self.session, "CircleColor"))
        # The position's tooltip shows over the thumb after its short delay
        # and hides again after a second: a look that misses it moves again.
        tip_seen = False
        for attempt in range(3):
            self.session.xdotool("mousemove", str(x), str(y + attempt % 2))
            tip_seen = wait_until(lambda: any(
                w.visible and w.class_name == "tooltips_class32" and w.text == position
                for w in self.session.top_level_windows()), 1.5, 0.05)
            if tip_seen:
                break
        self.assertTrue(tip_seen, "no tooltip with " + position)
        self.session.xdotool("mousemove", str(x), str(y))
        time.sleep(0.3)
        hover = self.session.screenshot("thumb-hover")
        self.session.xdotool("mousedown", "1")
        time.sleep(0.5)
        pressed = self.session.screenshot("thumb-pressed")
        self.session.xdotool("mouseup", "1")
        time.sleep(0.3)
        self.session.xdotool("mousemove", str(x), str(y + 60))
        time.sleep(0.5)
        normal = self.session.screenshot("thumb-normal")
        for name, shot in (("hover", hover), ("pressed", pressed), ("normal", normal)):
            harness_crop = self.ctx.artifacts / f"thumb-{name}-crop.png"
            from page_helpers import crop
            crop(shot, (l - 15, t - 10, r + 15, b + 10), harness_crop)
        # One pixel in from the thumb's left edge the three frames differ:
        # light grey, light blue, dark blue.
        frames = [art_pixel("slider_thumb.png", 1 + 10 * i, 9) for i in range(3)]
        looks = [self.session.pixel(s, l + 1, t + 9) for s in (normal, hover, pressed)]
        for frame, look, name in zip(frames, looks, ("normal", "hover", "pressed")):
            self.assertTrue(close_to(look, frame, 12), (name, look, frame))

    def test_k_dragging_the_top_strip_moves_the_window(self):
        page = self.page
        before = page.rect
        page.move(300, 30)
        self.session.xdotool("mousedown", "1")
        time.sleep(0.2)
        sx, sy = page.to_screen(300, 30)
        for i in range(1, 6):
            self.session.xdotool("mousemove", str(sx + 8 * i), str(sy + 5 * i))
            time.sleep(0.1)
        self.session.xdotool("mouseup", "1")
        time.sleep(0.5)
        after = page.rect
        self.assertEqual((after[0] - before[0], after[1] - before[1]), (40, 25))
        # A press below the strip never drags.
        page.move(300, 440)
        self.session.xdotool("mousedown", "1")
        sx, sy = page.to_screen(300, 440)
        self.session.xdotool("mousemove", str(sx + 30), str(sy + 30))
        time.sleep(0.2)
        self.session.xdotool("mouseup", "1")
        time.sleep(0.3)
        self.assertEqual(page.rect, after)


class SettingsPageChinese(unittest.TestCase):
    def test_chinese_page_and_notice(self):
        ctx = harness.context()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "page-zh", lang="zh_CN.UTF-8") as session:
            page = ShownPage(session, ctx)
            try:
                shot = page.screenshot("settings-page-zh")
                self.assertTrue(close_to(page.pixel(shot, 10, 10), art_pixel("settings_zh.png", 10, 10), 2))
                assert_preview_over_the_sample(self, page, shot, "settings_zh.png")
                self.assertEqual(page.control(VERSION_LABEL).text, product_version())
                page.click(575, 226)
                self.assertTrue(wait_until(lambda: message_boxes(session), 10), "no notice")
                self.assertEqual(reg(session, "AntiLost"), 1)
                # The probe prints no Chinese: the notice's text is looked at in this screenshot.
                session.screenshot("antilost-notice-zh")
                session.xdotool("key", "Return")
                self.assertTrue(wait_until(lambda: not message_boxes(session), 5), "the notice stayed")
            finally:
                page.close()


class RaisedLogPixels(unittest.TestCase):
    """The screen at 200 % (LogPixels 192). The page asks to be scaled by the
    system, so for a per-monitor aware observer (the probe) the window and
    every control are exactly twice their page-picture geometry, never the
    dialog template's. Wine 8 maps the coordinates of such a window but does
    not enlarge its pixels (the page is drawn at 621 x 462 at its logical
    place, see dpi-192.png), so nothing is clicked here."""

    def test_page_geometry_is_the_picture_geometry_scaled_twice(self):
        ctx = harness.context()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "page-dpi") as session:
            for key in ("HKCU\\Control Panel\\Desktop",
                        "HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"):
                session.wine(["reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "192", "/f"],
                             timeout=60, check=True)
            # The splash, like the page, is scaled by the system: twice its picture.
            page = ShownPage(session, ctx, scale=2)
            try:
                session.screenshot("dpi-192")
                left, top, right, bottom = page.rect
                self.assertEqual((right - left, bottom - top), (2 * 621, 2 * 462))
                expected = {SLIDER_BRIGHTNESS: (15, 269, 250, 18), SLIDER_POINTER_SPEED: (30, 413, 250, 18),
                            SLIDER_CIRCLE_COLOR: (48, 342, 250, 18), VERSION_LABEL: (455, 85, 50, 20)}
                for control_id, (x, y, w, h) in expected.items():
                    l, t, r, b = page.control(control_id).rect
                    self.assertEqual((l - left, t - top, r - l, b - t), (2 * x, 2 * y, 2 * w, 2 * h), control_id)
            finally:
                page.close()


if __name__ == "__main__":
    harness.main()
