"""Helpers of the settings-page tests: the program with a linked remote,
its page shown, and the page's controls found on the screen."""
from __future__ import annotations

import re
import subprocess
import sys
import time
from pathlib import Path

APP_DIR = Path(__file__).resolve().parents[1] / "app"
if str(APP_DIR) not in sys.path:
    sys.path.insert(0, str(APP_DIR))

from shell_helpers import (ART_DIR, REG_PREFIX, SETTINGS_PAGE_SIZE, TITLE, RemoteKeepAlive,  # noqa: E402,F401
                           click_tray, crop, quit_by_command, receiver_sim, splash_windows, wait_link_ready,
                           wait_until)

SOURCE_DIR = Path(__file__).resolve().parents[3]
SLIDER_BRIGHTNESS, SLIDER_POINTER_SPEED, SLIDER_CIRCLE_COLOR, VERSION_LABEL = 1000, 1001, 1004, 1003


def product_version() -> str:
    """The version the build gives the exe (top-level CMakeLists.txt)."""
    text = (SOURCE_DIR / "CMakeLists.txt").read_text()
    return re.search(r"project\(\s*PresenterVela\s+VERSION\s+([0-9.]+)", text).group(1)


def hue_to_color(index: int) -> tuple[int, int, int]:
    """The laser colour of a colour-slider position, as (red, green, blue)."""
    if index >= 240:
        return 255, 0, 0
    sector, t = divmod(index, 40)
    v = (39 - t) * 255 // 40 if sector % 2 else t * 255 // 40
    return [(255, v, 0), (v, 255, 0), (0, 255, v), (0, v, 255), (v, 0, 255), (255, 0, v)][sector]


class PageRemote(RemoteKeepAlive):
    """The linked remote, whose status word (low battery, ...) the test may set."""

    status = 0

    def _run(self) -> None:
        try:
            while not self._stop.is_set():
                connection = self.simulator.accept(timeout=60)
                connection.chosen(timeout=10)
                self.connection = connection
                while not self._stop.wait(0.5):
                    connection.send(receiver_sim.key_status(self.status))
        except Exception:  # the program went away: nothing more to play
            pass


class ShownPage:
    """The program started with a linked remote and its settings page shown."""

    def __init__(self, session, ctx, scale: int = 1, **env):
        self.session = session
        self.ctx = ctx
        self.simulator = receiver_sim.Simulator().__enter__()
        self.remote = PageRemote(self.simulator).start()
        env["PRESENTER_VELA_RECEIVER"] = self.simulator.variable()
        self.program = session.start_program(ctx.exe, **env)
        # The splash is system-scaled like the pages: `scale` times its picture.
        if not wait_until(lambda: splash_windows(session, scale=scale), 30):
            raise AssertionError(f"no splash window of {scale} x the picture's size")
        session.xdotool("key", "space")  # closes the splash at once
        if not session.wait_window(TITLE, 15):
            raise AssertionError("no main window")
        if not wait_link_ready(self.remote, 30):
            raise AssertionError("the program never linked with the simulated receiver")
        self.show()

    def show(self) -> None:
        for _ in range(3):
            click_tray(self.session, 1)
            if wait_until(lambda: self.session.window_visible(TITLE), 5):
                break
        else:
            raise AssertionError("the page did not show")
        time.sleep(0.8)

    @property
    def rect(self) -> tuple[int, int, int, int]:
        return self.session.window_rect(TITLE)

    def to_screen(self, x: int, y: int) -> tuple[int, int]:
        left, top, _, _ = self.rect
        return left + x, top + y

    def move(self, x: int, y: int) -> None:
        """Moves the pointer to a client point of the page."""
        sx, sy = self.to_screen(x, y)
        self.session.xdotool("mousemove", str(sx), str(sy))
        time.sleep(0.15)

    def click(self, x: int, y: int) -> None:
        # A move first: the click acts on the hit flags of the last move.
        self.move(x - 1, y)
        self.move(x, y)
        self.session.xdotool("click", "1")
        time.sleep(0.4)

    def control(self, control_id: int):
        for window in self.session.child_windows(TITLE):
            if window.handle == str(control_id):
                return window
        raise AssertionError(f"no control {control_id}")

    def thumb_of(self, slider_id: int):
        """The thumb window (a child of the slider, id 0) inside the slider."""
        slider = self.control(slider_id).rect
        for window in self.session.child_windows(TITLE):
            l, t, r, b = window.rect
            if window.handle == "0" and window.visible and slider[0] - 10 <= l and r <= slider[2] + 10 \
                    and slider[1] <= t and b <= slider[3] + 1 and (r - l, b - t) == (10, 18):
                return window
        raise AssertionError(f"no thumb in slider {slider_id}")

    def drag_thumb(self, slider_id: int, to_screen_x: int, steps: int = 8) -> None:
        """Presses the slider's thumb and drags it to a screen x, in steps."""
        l, t, r, b = self.thumb_of(slider_id).rect
        x, y = (l + r) // 2, (t + b) // 2
        self.session.xdotool("mousemove", str(x), str(y))
        time.sleep(0.2)
        self.session.xdotool("mousedown", "1")
        time.sleep(0.2)
        for i in range(1, steps + 1):
            self.session.xdotool("mousemove", str(x + (to_screen_x - x) * i // steps), str(y))
            time.sleep(0.05)
        time.sleep(0.2)
        self.session.xdotool("mouseup", "1")
        time.sleep(0.4)

    def screenshot(self, name: str) -> Path:
        """A screenshot of the whole screen and a crop of the page."""
        shot = self.session.screenshot(name)
        return crop(shot, self.rect, self.ctx.artifacts / f"{name}-page.png")

    def pixel(self, page_png: Path, x: int, y: int) -> tuple[int, int, int]:
        return self.session.pixel(page_png, x, y)

    def close(self) -> None:
        try:
            for window in self.session.top_level_windows():  # a notice left open
                if window.visible and window.class_name == "#32770" and window.text != TITLE:
                    self.session.xdotool("key", "Return")
            quit_by_command(self.session)
            try:
                self.program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                # Quit ends the program in a fraction of a second; record
                # what was on the screen, then ask once more (a lost request
                # is retried, a program that hangs still fails here).
                self.session.screenshot("quit-did-not-end")
                print("the program had not ended 10 s after Quit; windows:",
                      self.session.top_level_windows(), file=sys.stderr)
                quit_by_command(self.session)
                self.program.wait(timeout=20)
        finally:
            self.remote.stop()
            self.simulator.__exit__(None, None, None)


def art_pixel(name: str, x: int, y: int) -> tuple[int, int, int]:
    import harness
    return harness.WineSession.pixel(ART_DIR / name, x, y)


def close_to(a, b, tolerance: int = 3) -> bool:
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))
