"""The application shell under Wine with a simulated receiver: the splash,
the single instance, the first start, the tray icon and its pages, quitting,
and the Chinese user interface."""
import time
import unittest

import harness
from shell_helpers import (ART_DIR, NOT_READY_SIZE, REG_PREFIX, SETTINGS_PAGE_SIZE, SPLASH_SIZE, TITLE,
                           RemoteKeepAlive, click_last_menu_item, click_tray, crop, differing_pixels, free_port,
                           open_tray_menu, quit_by_command, quit_via_tray_menu, receiver_sim, splash_windows,
                           tray_icon_point, tray_tooltip, wait_until)

FAKE_XDG_OPEN = """#!/bin/sh
echo "$@" >> "{log}"
"""


def start(session, ctx, simulator=None, **env):
    """Starts the program with a fake xdg-open that records what it opens."""
    fake_bin = session.root / "fakebin"
    fake_bin.mkdir(exist_ok=True)
    opened_log = session.root / "opened.log"
    script = fake_bin / "xdg-open"
    script.write_text(FAKE_XDG_OPEN.format(log=opened_log))
    script.chmod(0o755)
    env = dict(env)
    env["PATH"] = f"{fake_bin}:{session.env()['PATH']}"
    if simulator is not None:
        env["PRESENTER_VELA_RECEIVER"] = simulator.variable()
    return session.start_program(ctx.exe, **env), opened_log


class FirstStartWithTheRemote(unittest.TestCase):
    """English user interface, receiver plugged in and the remote on."""

    def test_first_start_splash_tray_pages_second_instance_and_quit(self):
        ctx = harness.context()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "shell-en") as session, \
                receiver_sim.Simulator() as simulator:
            remote = RemoteKeepAlive(simulator).start()
            started = time.monotonic()
            program, opened_log = start(session, ctx, simulator)

            # The splash shows the English picture, then closes by itself after about 2 s.
            self.assertTrue(wait_until(lambda: splash_windows(session), 30), "no splash window")
            shown = time.monotonic()
            shot = session.screenshot("splash-en")
            splash = splash_windows(session)[0]
            self.assertLess(differing_pixels(crop(shot, splash.rect, ctx.artifacts / "splash-en-crop.png"),
                                             ART_DIR / "splash_en.png", "568x436+0+0"), 568 * 436 // 100)
            self.assertTrue(wait_until(lambda: not splash_windows(session), 6), "the splash did not close")
            lasted = time.monotonic() - shown
            print(f"splash visible for about {lasted:.2f} s (start to splash {shown - started:.2f} s)")
            self.assertGreater(lasted, 1.0)

            # Then the main window exists, hidden in the tray.
            self.assertTrue(session.wait_window(TITLE, 10))
            self.assertFalse(session.window_visible(TITLE))

            # First start: the defaults are stored, FirstRun is 0 and the manual was opened.
            expected = {"Brightness": 80, "SpotlightSize": 500, "ZoomSize": 500, "CircleSize": 150,
                        "PointerSpeed": 50, "CircleColor": 0, "Default": 1, "FirstRun": 0}
            for name, value in expected.items():
                self.assertEqual(session.reg_dword(REG_PREFIX + name), value, name)
            self.assertIsNone(session.reg_query(REG_PREFIX + "AutoBoot"))
            self.assertIsNone(session.reg_query(REG_PREFIX + "AntiLost"))
            manual = session.prefix / "drive_c" / "users" / "root" / "Presenter_Vela" / "Help_PresenterVela.pdf"
            self.assertTrue(manual.is_file(), manual)
            self.assertTrue(manual.read_bytes().startswith(b"%PDF"))
            self.assertTrue(wait_until(lambda: opened_log.exists(), 10), "the manual was not opened")
            self.assertIn("Help_PresenterVela.pdf", opened_log.read_text())

            # Remote linked: a left click on the tray icon shows the settings page.
            self.assertTrue(wait_until(lambda: remote.connection is not None, 30), "the program never connected")
            # The settle delay of the receiver plus the first reports: the tray says linked.
            self.assertTrue(wait_until(lambda: tray_tooltip(session, 2) == "Presenter Vela", 20),
                            "the remote never showed as linked")
            click_tray(session, 1)
            self.assertTrue(wait_until(lambda: session.window_visible(TITLE), 5), "the page did not show")
            rect = session.window_rect(TITLE)
            self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]), SETTINGS_PAGE_SIZE)
            time.sleep(0.5)
            shot = session.screenshot("settings-page-en")
            page = crop(shot, rect, ctx.artifacts / "settings-page-en-crop.png")
            # The drag strip at the top is the page picture itself, pixel for pixel.
            self.assertEqual(differing_pixels(page, ART_DIR / "settings_en.png", "400x60+0+0"), 0)

            # F1 opens the manual again (the first time was the first start).
            session.xdotool("key", "F1")
            self.assertTrue(wait_until(lambda: opened_log.read_text().count("Help_PresenterVela.pdf") >= 2, 10),
                            "F1 did not open the manual")

            # Escape puts the window back into the tray.
            session.xdotool("key", "Escape")
            self.assertTrue(wait_until(lambda: not session.window_visible(TITLE), 5), "Escape did not hide it")

            # A second start brings the first instance's window forward and tells the user.
            # The window may show only briefly: once the message box takes the
            # foreground it goes back to the tray 200 ms later. So the watcher
            # runs before the second start.
            watcher = session.spawn([str(ctx.build_dir / "bin" / "pvprobe.exe"), "waitvisible", TITLE, "20000"])
            time.sleep(1.0)
            second, _ = start(session, ctx)
            if watcher.wait(timeout=40) != 0:
                session.screenshot("second-instance-failed")
                self.fail("the first instance's window was not shown: " + repr(session.top_level_windows()))
            self.assertTrue(wait_until(lambda: any(
                "The program is running" in c.text for w in session.top_level_windows()
                if w.visible and w.class_name == "#32770"
                for c in session.child_windows(w.text)), 20), "no 'The program is running' message")
            session.screenshot("second-instance-en")
            for window in session.top_level_windows():
                if window.visible and window.class_name == "#32770" and window.size != SETTINGS_PAGE_SIZE:
                    session.close_window(window.text)
            self.assertEqual(second.wait(timeout=10), 0)

            # Quit from the tray menu ends the program within 5 s.
            session.xdotool("mousemove", "900", "900")
            quit_via_tray_menu(session)
            try:
                code = program.wait(timeout=5)
            except Exception:
                session.screenshot("quit-menu-failed")
                quit_by_command(session)
                raise
            print(f"ended {time.monotonic() - started:.1f} s after start")
            self.assertEqual(code, 0)
            remote.stop()


class NotReadyPageAndChinese(unittest.TestCase):
    """Simplified Chinese user interface, no receiver plugged in."""

    def test_chinese_splash_not_ready_page_and_quit(self):
        ctx = harness.context()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "shell-zh", lang="zh_CN.UTF-8") as session:
            program, _ = start(session, ctx)
            self.assertTrue(wait_until(lambda: splash_windows(session), 30), "no splash window")
            shot = session.screenshot("splash-zh")
            splash = splash_windows(session)[0]
            self.assertLess(differing_pixels(crop(shot, splash.rect, ctx.artifacts / "splash-zh-crop.png"),
                                             ART_DIR / "splash_zh.png", "568x436+0+0"), 568 * 436 // 100)
            # A click closes the splash at once.
            session.xdotool("mousemove", str(splash.rect[0] + 100), str(splash.rect[1] + 100))
            session.xdotool("click", "1")
            clicked = time.monotonic()
            self.assertTrue(wait_until(lambda: not splash_windows(session), 3), "a click did not close the splash")
            print(f"splash closed {time.monotonic() - clicked:.2f} s after the click")

            self.assertTrue(session.wait_window(TITLE, 10))
            # Wine shows its tray window once the first icon is added.
            self.assertTrue(wait_until(lambda: tray_icon_point(session) is not None, 10), "no tray icon")
            click_tray(session, 1)
            self.assertTrue(wait_until(lambda: session.window_visible(TITLE), 5), "the page did not show")
            rect = session.window_rect(TITLE)
            self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]), NOT_READY_SIZE["zh"])
            time.sleep(0.5)
            shot = session.screenshot("not-ready-page-zh")
            page = crop(shot, rect, ctx.artifacts / "not-ready-page-zh-crop.png")
            self.assertEqual(differing_pixels(page, ART_DIR / "not_ready_zh.png", "596x60+0+0"), 0)

            # The tray menu in Chinese: its two items and the separator. Read from
            # the shown menu where the platform lets another process do so; Wine
            # keeps menus private to their process, so there the texts are read
            # from the program's menu resource exactly as the resource loader
            # picks it for this user (the choice the program's LoadMenuW gets).
            menu = open_tray_menu(session)
            session.screenshot("tray-menu-zh")
            items = session.probe("menu")
            if items.returncode != 0:
                items = session.probe("menures", str(ctx.exe), "157")
            self.assertEqual(items.returncode, 0, "the menu texts could not be read")
            self.assertEqual([line.strip() for line in items.stdout.splitlines()][:3], ["打开翻页笔Vela", "-", "退出"])
            click_last_menu_item(session, menu)
            self.assertEqual(program.wait(timeout=5), 0)


class TrayFollowsTheLink(unittest.TestCase):
    """The tray tooltip for the three link states: no receiver, receiver
    without the remote, remote linked."""

    def test_tooltip_follows_receiver_and_remote(self):
        ctx = harness.context()
        port = free_port()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "shell-tray") as session:
            program = session.start_program(ctx.exe, PRESENTER_VELA_RECEIVER=f"tcp:127.0.0.1:{port}")
            self.assertTrue(wait_until(lambda: splash_windows(session), 30), "no splash window")
            # A key closes the splash at once (at its release).
            session.xdotool("key", "space")
            pressed = time.monotonic()
            self.assertTrue(wait_until(lambda: not splash_windows(session), 1.5), "a key did not close the splash")
            print(f"splash closed {time.monotonic() - pressed:.2f} s after a key")
            self.assertTrue(session.wait_window(TITLE, 10))
            self.assertEqual(tray_tooltip(session), "Presenter Vela\\n(No Dongle)")

            with receiver_sim.Simulator(port=port) as simulator:
                remote = RemoteKeepAlive(simulator, remote_on=False).start()
                self.assertTrue(wait_until(lambda: remote.connection is not None, 20), "no connection")
                # After the receiver's settle delay.
                self.assertTrue(wait_until(
                    lambda: tray_tooltip(session, 2) == "Presenter Vela\\n( RF Disconnect)", 15),
                    "the receiver never showed as present")

                remote.switch_remote(True)
                self.assertTrue(wait_until(lambda: tray_tooltip(session, 2) == "Presenter Vela", 10),
                                "the remote never showed as linked")
                session.screenshot("tray-linked")
                # A link change while the window is in the tray leaves it there.
                self.assertFalse(session.window_visible(TITLE))

                self.assertTrue(quit_by_command(session))
                self.assertEqual(program.wait(timeout=5), 0)
                remote.stop()


class SecondStartDuringTheSplash(unittest.TestCase):
    """A second start while the first copy still shows its splash (autostart
    at logon, then a double click): the first copy has no main window yet,
    yet the second must not run as a copy of its own."""

    def test_second_start_during_the_splash_leaves_one_copy(self):
        ctx = harness.context()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "shell-splash-twice") as session:
            first, _ = start(session, ctx)
            self.assertTrue(wait_until(lambda: splash_windows(session), 30), "no splash window")
            second, _ = start(session, ctx)
            # The second copy waits for the first one's window, then says so.
            self.assertTrue(wait_until(lambda: any(
                "The program is running" in c.text for w in session.top_level_windows()
                if w.visible and w.class_name == "#32770" and w.size not in (SPLASH_SIZE,)
                for c in session.child_windows(w.text)), 30), "no 'The program is running' message")
            session.screenshot("second-start-during-splash")
            for window in session.top_level_windows():
                if window.visible and window.class_name == "#32770" and window.text != TITLE \
                        and window.size != SPLASH_SIZE:
                    session.close_window(window.text)
            self.assertEqual(second.wait(timeout=15), 0)
            self.assertIsNone(first.poll(), "the first copy ended")
            main_windows = [w for w in session.top_level_windows() if w.text == TITLE]
            self.assertEqual(len(main_windows), 1, repr(main_windows))
            self.assertTrue(quit_by_command(session))
            self.assertEqual(first.wait(timeout=10), 0)


if __name__ == "__main__":
    harness.main()
