"""The presentation timer page under Wine with the simulated remote: the
first start's stored timer, the switch and the minutes box (drawn, typed,
corrected, taken over with Enter), what the remote receives at once, a
restart in the middle of a running timer, and a timer that runs out."""
from __future__ import annotations

import queue
import subprocess
import sys
import threading
import time
import unittest
from pathlib import Path

import harness

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "app"))
from shell_helpers import REG_PREFIX, TITLE, receiver_sim, wait_until  # noqa: E402

UM_SHOW_MAIN = 0x465
WM_COMMAND = 0x0111
IDM_TRAY_QUIT = 32774

# Client pixels of the page (the window has no frame: client = window origin).
SWITCH_AT = (555, 268)
SWITCH_SAMPLE = (555 + 22, 268 + 8)  # the pill's middle, away from the knob in both positions
BOX_RECT = (555, 290, 597, 310)
SWITCH_ON_BLUE = (41, 121, 255)
SWITCH_OFF_GREY = (178, 186, 199)
BOX_GREY = (0x78, 0x78, 0x78)
DPI_KEY = r"HKCU\Control Panel\Desktop"


class Remote:
    """The receiver with the remote switched on: answers the connection and
    sends a key-status report every 500 ms so the radio link stays up. The
    program's output reports collect in `reports` (the hello is skipped)."""

    def __init__(self, simulator):
        self.simulator = simulator
        self.connection = None
        self.reports: queue.Queue = queue.Queue()
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self) -> None:
        try:
            connection = self.simulator.accept(timeout=60)
            connection.chosen(timeout=10)
            self.connection = connection
            threading.Thread(target=self._collect, daemon=True).start()
            while not self._stop.wait(0.5):
                connection.send(receiver_sim.key_status(0))
        except Exception:  # the program went away
            pass

    def _collect(self) -> None:
        try:
            while not self._stop.is_set():
                raw = self.connection.next_output(timeout=3600)
                if not receiver_sim.is_hello(raw):
                    self.reports.put(receiver_sim.decode_output(raw))
        except Exception:
            pass

    def drain(self) -> None:
        while not self.reports.empty():
            self.reports.get_nowait()

    def next_report(self, timeout: float = 5) -> "receiver_sim.OutputReport":
        report = self.reports.get(timeout=timeout)
        assert report.valid, report.problems
        return report

    def send(self, report: bytes) -> None:
        self.connection.send(report)

    def stop(self) -> None:
        self._stop.set()
        if self.connection is not None:
            self.connection.close()
        self._thread.join(timeout=5)


class TimerPageRun:
    """One run of the program against the simulator."""

    def __init__(self, test, session, ctx, simulator):
        self.test, self.session, self.ctx = test, session, ctx
        self.remote = Remote(simulator)
        self.program = session.start_program(ctx.exe, PRESENTER_VELA_RECEIVER=simulator.variable())
        test.assertTrue(wait_until(lambda: self.remote.connection is not None, 40), "the program never connected")

    def box(self) -> dict:
        text = self.session.wine([str(self.ctx.build_dir / "bin" / "timerprobe.exe"), "box", TITLE]).stdout.strip()
        fields = text.split("|")
        self.test.assertEqual(len(fields), 4, text)
        start, end = (int(v) for v in fields[1].split())
        return {"text": fields[0], "sel": (start, end), "visible": fields[2] == "1",
                "rect": tuple(int(v) for v in fields[3].split())}

    def show(self) -> tuple[int, int, int, int]:
        self.session.probe("post", TITLE, str(UM_SHOW_MAIN))
        self.test.assertTrue(wait_until(lambda: self.session.window_visible(TITLE), 10), "the page did not show")
        time.sleep(0.8)
        return self.session.window_rect(TITLE)

    def click(self, client_x: int, client_y: int) -> None:
        left, top, _, _ = self.session.window_rect(TITLE)
        self.session.xdotool("mousemove", str(left + client_x), str(top + client_y))
        time.sleep(0.2)
        self.session.xdotool("click", "1")
        time.sleep(0.4)

    def key(self, *keys: str) -> None:
        for k in keys:
            self.session.xdotool("key", k)
            time.sleep(0.15)

    def type(self, text: str) -> None:
        for ch in text:
            self.session.xdotool("key", ch)
            time.sleep(0.15)

    def shot(self, name: str) -> Path:
        time.sleep(0.5)
        return self.session.screenshot(name)

    def quit(self) -> None:
        self.session.probe("post", TITLE, str(WM_COMMAND), str(IDM_TRAY_QUIT))
        try:
            self.test.assertEqual(self.program.wait(timeout=15), 0)
        finally:
            if self.program.poll() is None:
                self.program.kill()
            self.remote.stop()


def stored_timer(session) -> dict:
    values = {name: session.reg_dword(REG_PREFIX + name)
              for name in ("TimerOn", "TimerTime", "TimerStartL", "TimerStartH")}
    if values["TimerStartL"] is not None and values["TimerStartH"] is not None:
        values["start"] = (values["TimerStartH"] << 32) | values["TimerStartL"]
    return values


def store_timer(session, on: int, seconds: int, start: int) -> None:
    for name, value in (("TimerOn", on), ("TimerTime", seconds), ("TimerStartL", start & 0xFFFFFFFF),
                        ("TimerStartH", start >> 32)):
        session.reg_add(REG_PREFIX + name, "REG_DWORD", str(value))


def pixels(png: Path, rect: tuple[int, int, int, int]) -> list[tuple[int, int, int]]:
    """Every pixel of a screen rectangle, row by row."""
    left, top, right, bottom = rect
    out = subprocess.run(["convert", str(png), "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                          "-depth", "8", "rgb:-"], capture_output=True, check=True, timeout=30).stdout
    return [tuple(out[i:i + 3]) for i in range(0, len(out), 3)]


def near(a, b, tolerance=12) -> bool:
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class TimerPage(unittest.TestCase):

    def screen_rect(self, window, rect):
        return (window[0] + rect[0], window[1] + rect[1], window[0] + rect[2], window[1] + rect[3])

    def assert_switch(self, png: Path, window, on: bool) -> None:
        colour = self.session.pixel(png, window[0] + SWITCH_SAMPLE[0], window[1] + SWITCH_SAMPLE[1])
        self.assertTrue(near(colour, SWITCH_ON_BLUE if on else SWITCH_OFF_GREY), (on, colour))

    def box_colours(self, png: Path, window) -> dict:
        """How the box looks: its grey background and its digits counted by colour."""
        inner = (BOX_RECT[0] + 2, BOX_RECT[1] + 2, BOX_RECT[2] - 2, BOX_RECT[3] - 2)
        found = pixels(png, self.screen_rect(window, inner))
        return {"grey": sum(near(p, BOX_GREY) for p in found),
                "yellow": sum(p[0] > 200 and p[1] > 200 and p[2] < 90 for p in found),
                "white": sum(min(p) > 200 for p in found),
                "all": len(found)}

    def test_timer_page(self):
        ctx = harness.context()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "timer-page") as session, \
                receiver_sim.Simulator() as simulator:
            self.session = session
            self.first_start_switch_and_box(session, ctx, simulator)
            self.restart_mid_timer(session, ctx, simulator)
            self.timer_runs_out(session, ctx, simulator)

    # ------------------------------------------------------------ run 1
    def first_start_switch_and_box(self, session, ctx, simulator):
        run = TimerPageRun(self, session, ctx, simulator)
        remote = run.remote
        try:
            # Once the remote is seen, the page stores the timer as off, 40 minutes, started now.
            self.assertTrue(wait_until(lambda: stored_timer(session)["TimerTime"] is not None, 30),
                            "the timer page was not loaded")
            remote.send(receiver_sim.state_request())
            first = remote.next_report()
            self.assertFalse(first.timer_running)
            self.assertEqual(first.minutes, 0)
            stored = stored_timer(session)
            self.assertEqual((stored["TimerOn"], stored["TimerTime"]), (0, 2400), stored)
            self.assertLess(abs(stored["start"] - time.time()), 30, stored)

            window = run.show()
            box = run.box()
            self.assertEqual(box["text"], "40")
            self.assertFalse(box["visible"])
            # The box sits in the picture's frame at its pixel size.
            self.assertEqual(box["rect"], BOX_RECT)
            shot = run.shot("switch-off")
            self.assert_switch(shot, window, on=False)
            self.assertEqual(self.box_colours(shot, window)["grey"], 0, "the hidden box is drawn")

            # Switching on starts 40 minutes at once; the box shows in yellow.
            remote.drain()
            run.click(*SWITCH_SAMPLE)
            report = remote.next_report()
            self.assertTrue(report.timer_running)
            self.assertEqual(report.minutes, 40)
            self.assertTrue(run.box()["visible"])
            shot = run.shot("switch-on-box-yellow")
            self.assert_switch(shot, window, on=True)
            colours = self.box_colours(shot, window)
            self.assertGreater(colours["grey"], colours["all"] // 2, colours)
            self.assertGreater(colours["yellow"], 5, colours)
            self.assertEqual(colours["white"], 0, colours)
            started_on = stored_timer(session)["start"]

            # Editing: deleting every digit gives "1", selected; typing 250 gives 199, selected.
            run.click(BOX_RECT[2] - 4, (BOX_RECT[1] + BOX_RECT[3]) // 2)
            run.key("End", "BackSpace", "BackSpace")
            box = run.box()
            self.assertEqual((box["text"], box["sel"]), ("1", (0, 1)))
            run.type("250")
            box = run.box()
            self.assertEqual((box["text"], box["sel"]), ("199", (0, 3)))
            shot = run.shot("box-white-typing")
            colours = self.box_colours(shot, window)
            self.assertGreater(colours["white"], 5, colours)
            self.assertEqual(colours["yellow"], 0, colours)
            # The step keys: Up at 199 gives 200, shown as 199 and selected;
            # Page Down at 5 gives 0, shown as 1 and selected.
            run.key("Up")
            box = run.box()
            self.assertEqual((box["text"], box["sel"]), ("199", (0, 3)))
            run.type("5")
            self.assertEqual(run.box()["text"], "5")
            run.key("Next")
            box = run.box()
            self.assertEqual((box["text"], box["sel"]), ("1", (0, 1)))
            run.key("Up")
            self.assertEqual(run.box()["text"], "2")
            run.key("BackSpace")
            # Typed zeros in front are dropped.
            run.type("007")
            self.assertEqual(run.box()["text"], "7")
            run.key("BackSpace")
            run.type("15")
            box = run.box()
            self.assertEqual((box["text"], box["sel"]), ("15", (2, 2)))
            shot = run.shot("box-white-15")
            colours = self.box_colours(shot, window)
            self.assertGreater(colours["white"], 5, colours)
            self.assertEqual(colours["yellow"], 0, colours)
            # Nothing reaches the remote while typing.
            time.sleep(1.0)
            self.assertTrue(remote.reports.empty(), "a report was sent while typing")

            # Enter takes 15 over at once, restarts from now and keeps the window open.
            time.sleep(1.2)  # so "now" is a later second than the first start
            remote.drain()
            run.key("Return")
            report = remote.next_report()
            self.assertTrue(report.timer_running)
            self.assertEqual(report.minutes, 15)
            stored = stored_timer(session)
            self.assertEqual((stored["TimerOn"], stored["TimerTime"]), (1, 900), stored)
            self.assertGreater(stored["start"], started_on)
            time.sleep(0.5)
            self.assertTrue(session.window_visible(TITLE), "Enter closed the window")
            shot = run.shot("box-yellow-after-enter")
            colours = self.box_colours(shot, window)
            self.assertGreater(colours["yellow"], 5, colours)

            # Back from the tray, the running timer's box shows again.
            run.key("Escape")
            self.assertTrue(wait_until(lambda: not session.window_visible(TITLE), 5), "Escape did not hide it")
            window = run.show()
            box = run.box()
            self.assertEqual((box["text"], box["visible"]), ("15", True))

            # Off stops the remote's countdown; on again sends 15 minutes at once.
            remote.drain()
            run.click(*SWITCH_SAMPLE)
            report = remote.next_report()
            self.assertFalse(report.timer_running)
            self.assertFalse(run.box()["visible"])
            self.assertEqual(stored_timer(session)["TimerOn"], 0)
            remote.drain()
            run.click(*SWITCH_SAMPLE)
            report = remote.next_report()
            self.assertTrue(report.timer_running)
            self.assertEqual(report.minutes, 15)
        finally:
            run.quit()

    # ------------------------------------------------------------ run 2
    def restart_mid_timer(self, session, ctx, simulator):
        start = int(time.time()) - 600
        store_timer(session, 1, 1800, start)
        run = TimerPageRun(self, session, ctx, simulator)
        try:
            report = run.remote.next_report(timeout=30)
            self.assertTrue(report.timer_running)
            self.assertEqual(report.minutes, 20)
            stored = stored_timer(session)
            self.assertEqual((stored["TimerOn"], stored["TimerTime"], stored["start"]), (1, 1800, start))
            window = run.show()
            box = run.box()
            self.assertEqual((box["text"], box["visible"]), ("30", True))
            shot = run.shot("resumed-on")
            self.assert_switch(shot, window, on=True)
        finally:
            run.quit()

        # A stored start in the future does not come back as a running timer.
        # This run also has a screen scaled to 150 %: the box keeps its pixel
        # size while the template's controls grow.
        future = int(time.time()) + 3600
        store_timer(session, 1, 1800, future)
        session.reg_add("LogPixels", "REG_DWORD", "144", key=DPI_KEY)
        run = TimerPageRun(self, session, ctx, simulator)
        try:
            self.assertTrue(wait_until(lambda: stored_timer(session)["start"] != future, 30),
                            "the timer page was not loaded")
            run.remote.send(receiver_sim.state_request())
            report = run.remote.next_report()
            self.assertFalse(report.timer_running)
            stored = stored_timer(session)
            self.assertEqual(stored["TimerOn"], 0)
            self.assertLess(abs(stored["start"] - time.time()), 30)

            run.show()
            slider = next(c for c in session.child_windows(TITLE) if c.handle == "1000")
            print(f"at 144 dpi: brightness slider {slider.size}, minutes box {run.box()['rect']}")
            self.assertGreater(slider.size[0], 200, "the screen is not scaled: the test shows nothing")
            self.assertEqual(run.box()["rect"], BOX_RECT)
            run.shot("scaled-screen")
        finally:
            run.quit()
            session.reg_add("LogPixels", "REG_DWORD", "96", key=DPI_KEY)

    # ------------------------------------------------------------ run 3
    def timer_runs_out(self, session, ctx, simulator):
        store_timer(session, 1, 1800, int(time.time()) - 1800 + 12)
        run = TimerPageRun(self, session, ctx, simulator)
        remote = run.remote
        try:
            report = remote.next_report(timeout=30)
            self.assertTrue(report.timer_running)
            self.assertEqual(report.minutes, 1)
            window = run.show()
            self.assertTrue(run.box()["visible"])

            # The end: the alert reaches the remote, the switch goes off, the box hides.
            deadline = time.monotonic() + 30
            while True:
                report = remote.next_report(timeout=max(0.1, deadline - time.monotonic()))
                if report.timer_alert:
                    break
            self.assertFalse(report.timer_running)
            self.assertTrue(wait_until(lambda: not run.box()["visible"], 5), "the box stayed")
            shot = run.shot("timer-ran-out")
            self.assert_switch(shot, window, on=False)
            # The box held the duration, so the setting stays on until the next load.
            self.assertEqual(stored_timer(session)["TimerOn"], 1)

            # The remote keeps seeing the alert until it acknowledges it.
            remote.drain()
            remote.send(receiver_sim.state_request())
            self.assertTrue(remote.next_report().timer_alert)
            remote.send(receiver_sim.key_status(receiver_sim.ST_ALERT_ACK))
            time.sleep(0.3)
            remote.drain()
            remote.send(receiver_sim.state_request())
            self.assertFalse(remote.next_report().timer_alert)
        finally:
            run.quit()


if __name__ == "__main__":
    harness.main()
