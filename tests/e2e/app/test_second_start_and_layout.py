"""A second start while the first copy shows its splash and while it sits in
the tray: the first copy's window comes to the front, the notice "The
program is running" is visible and in front of it, and the second process is
gone after OK. Then the laser circle shown and the main window shown over
it: no circle, no mask, and the page takes clicks."""
import sys
import time
import unittest
from pathlib import Path

import harness
from shell_helpers import REG_PREFIX, SPLASH_SIZE, TITLE, splash_windows, switch_autoboot_on_page, wait_until

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "effects"))
from effects_helpers import EFFECT, UM_SHOW_MAIN, Remote, receiver_sim  # noqa: E402

NOTICE_TEXT = "The program is running"
WM_COMMAND = 0x0111
IDOK, IDCANCEL = 1, 2
IDM_TRAY_QUIT = 32774


def notice_box(session):
    """The second copy's notice: a visible dialog that is neither the splash nor the page."""
    for window in session.top_level_windows():
        if window.visible and window.class_name == "#32770" and window.size != SPLASH_SIZE \
                and window.text != TITLE and any(NOTICE_TEXT in c.text for c in
                                                 session.child_windows(f"hwnd:{window.handle}")):
            return window
    return None


class SecondStartAndLayout(unittest.TestCase):
    def setUp(self):
        self.ctx = harness.context()

    def test_second_starts_in_front_and_the_page_over_the_laser(self):
        ctx = self.ctx
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "second-start-layout") as session, \
                receiver_sim.Simulator() as simulator:
            self.session = session
            for name, value in {"FirstRun": 0, "LastScene": 2, "CircleSize": 160, "AutoBoot": 0}.items():
                session.reg_add(REG_PREFIX + name, "REG_DWORD", str(value))
            remote = Remote(simulator).start()
            first = session.start_program(ctx.exe, PRESENTER_VELA_RECEIVER=simulator.variable())
            self.assertTrue(wait_until(lambda: splash_windows(session), 30), "no splash window")

            with self.subTest("second start during the splash"):
                self.second_start_in_front("during-splash")
            # Back into the tray (Escape on the page).
            session.probe("post", TITLE, str(WM_COMMAND), str(IDCANCEL))
            self.assertTrue(wait_until(lambda: not session.window_visible(TITLE), 10))
            with self.subTest("second start with the first copy in the tray"):
                self.second_start_in_front("in-tray")

            with self.subTest("the page shown over the laser circle"):
                session.probe("post", TITLE, str(WM_COMMAND), str(IDCANCEL))
                self.assertTrue(wait_until(lambda: not session.window_visible(TITLE), 10))
                self.assertTrue(remote.wait_linked(), "the program never connected")
                time.sleep(3.5)  # the receiver's settle delay and the first reports
                self.page_over_the_laser(first.pid if hasattr(first, "pid") else None, remote)

            remote.stop()
            session.probe("post", TITLE, str(WM_COMMAND), str(IDM_TRAY_QUIT))
            self.assertEqual(first.wait(timeout=15), 0)

    def second_start_in_front(self, name: str) -> None:
        session = self.session
        second = session.start_program(self.ctx.exe)
        self.assertTrue(wait_until(lambda: notice_box(session) is not None, 30), "no notice")
        shown = session.wait_visible(TITLE, 15)
        if not shown:
            session.screenshot(f"second-start-{name}-not-shown")
            print("\n".join(f"{w.handle} {w.class_name} {w.text!r} {w.visible} {w.rect} {w.pid}"
                            for w in session.top_level_windows()))
        self.assertTrue(shown, "the first copy's window did not show")
        time.sleep(1.0)  # past the main window's 200 ms auto-hide, had its application lost the foreground
        self.assertTrue(session.window_visible(TITLE), "the first copy's window went back into the tray")
        self.assertEqual(session.probe("foreground").stdout.strip(), TITLE, "the first copy's window is not in front")
        box = notice_box(session)
        windows = session.top_level_windows()
        order = [w.handle for w in windows if w.visible]
        main = next(w for w in windows if w.text == TITLE and w.visible)
        session.screenshot(f"second-start-{name}")
        self.assertLess(order.index(box.handle), order.index(main.handle),
                        "the notice lies behind the first copy's window")
        session.probe("post", f"hwnd:{box.handle}", str(WM_COMMAND), str(IDOK))
        self.assertEqual(second.wait(timeout=10), 0, "the second process lingers")
        self.assertTrue(wait_until(lambda: session.probe("foreground").stdout.strip() == TITLE, 5),
                        session.probe("foreground").stdout)

    def program_windows_off_the_page(self, pid: int) -> list:
        session = self.session
        page = session.window_rect(TITLE)
        windows = []
        for w in session.top_level_windows():
            if not w.visible or w.pid != pid or w.text == TITLE:
                continue
            inside = page is not None and page[0] <= w.rect[0] and page[1] <= w.rect[1] \
                and w.rect[2] <= page[2] and w.rect[3] <= page[3]
            if not inside:
                windows.append(w)
        return windows

    def page_over_the_laser(self, _unused, remote) -> None:
        session = self.session
        main = next(w for w in session.top_level_windows() if w.text == TITLE)
        pid = main.pid
        session.xdotool("mousemove", "60", "700")  # the circle far from where the page shows
        time.sleep(0.3)
        remote.keys(EFFECT)
        self.assertTrue(wait_until(lambda: len(self.program_windows_off_the_page(pid)) >= 1, 10),
                        "the laser circle did not show")
        session.screenshot("laser-shown")
        session.probe("post", TITLE, str(UM_SHOW_MAIN))
        self.assertTrue(session.wait_visible(TITLE, 10), "the page did not show")
        time.sleep(0.8)
        session.screenshot("page-over-laser")
        self.assertEqual(self.program_windows_off_the_page(pid), [], "the circle or its mask stayed")
        # A click on the page reaches it: the AutoBoot switch turns on.
        self.assertTrue(switch_autoboot_on_page(session), "the click did not reach the page")
        remote.keys(0)


if __name__ == "__main__":
    harness.main()
