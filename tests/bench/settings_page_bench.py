#!/usr/bin/python3
"""Benchmark of the settings page under Wine (prints figures, asserts
nothing): the time of each WM_HSCROLL step of a slider moved from end to end
(sync, store and the repaint it causes), and the area the page repaints per
step, seen as X damage on the page's window (what Wine flushes to the screen).

    /usr/bin/python3 tests/bench/settings_page_bench.py \\
        --exe build/windows/bin/PresenterVela.exe --build-dir build/windows --out build/windows/artifacts/bench
"""
import ctypes
import sys
import threading
import time

import bench_cli
import e2e_paths

e2e_paths.use("settings_page")

import harness  # noqa: E402
from figures import figure, series  # noqa: E402
from page_helpers import SLIDER_BRIGHTNESS, SLIDER_CIRCLE_COLOR, TITLE, ShownPage  # noqa: E402

PAGE_AREA = 621 * 462


class XRectangle(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort)]


class XDamageNotifyEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("drawable", ctypes.c_ulong), ("damage", ctypes.c_ulong),
                ("level", ctypes.c_int), ("more", ctypes.c_int), ("timestamp", ctypes.c_ulong),
                ("area", XRectangle), ("geometry", XRectangle)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("damage", XDamageNotifyEvent), ("pad", ctypes.c_long * 24)]


class DamageRecorder:
    """Every rectangle drawn into one X window, from a thread of its own."""

    def __init__(self, display: str, window: int):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xd = ctypes.CDLL("libXdamage.so.1")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        for name in ("XPending", "XSync", "XNextEvent", "XCloseDisplay", "XFlush"):
            getattr(self.x11, name).argtypes = [ctypes.c_void_p] + ([ctypes.c_int] if name == "XSync" else []) + \
                ([ctypes.POINTER(XEvent)] if name == "XNextEvent" else [])
        self.xd.XDamageCreate.restype = ctypes.c_ulong
        self.xd.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]
        self.xd.XDamageQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                                  ctypes.POINTER(ctypes.c_int)]
        self.dpy = self.x11.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("cannot open display " + display)
        event_base, error_base = ctypes.c_int(), ctypes.c_int()
        if not self.xd.XDamageQueryExtension(self.dpy, ctypes.byref(event_base), ctypes.byref(error_base)):
            raise RuntimeError("no DAMAGE extension")
        self.notify = event_base.value  # XDamageNotify = 0
        self.xd.XDamageCreate(self.dpy, window, 0)  # XDamageReportRawRectangles
        self.x11.XSync(self.dpy, 0)
        self.rects: list[tuple[float, int, int, int, int]] = []
        self.lock = threading.Lock()
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self) -> None:
        event = XEvent()
        while not self._stop.is_set():
            while self.x11.XPending(self.dpy):
                self.x11.XNextEvent(self.dpy, ctypes.byref(event))
                if event.type == self.notify:
                    a = event.damage.area
                    with self.lock:
                        self.rects.append((time.monotonic(), a.x, a.y, a.width, a.height))
            time.sleep(0.002)

    def take(self) -> list[tuple[float, int, int, int, int]]:
        time.sleep(0.1)
        with self.lock:
            rects, self.rects = self.rects, []
        return rects

    def close(self) -> None:
        self._stop.set()
        self._thread.join(timeout=2)
        self.x11.XCloseDisplay(self.dpy)


def x_window_of(session) -> int:
    ids = session.xdotool("search", "--name", f"^{TITLE}$").split()
    if not ids:
        raise RuntimeError("no X window for the page")
    return int(ids[0])


def area(rects) -> int:
    return sum(w * h for _, _, _, w, h in rects)


def report_damage(label: str, rects, steps: int, goal: str = "< 100", repaints: bool = True) -> None:
    """Figures of the damage seen over `steps` steps; for steps that repaint,
    no damage at all means the recorder saw nothing, which is no figure."""
    if repaints and not rects:
        raise RuntimeError(f"{label}: no damage seen at all (the page did not repaint, or X did not report it)")
    total = area(rects)
    full = sum(1 for _, _, _, w, h in rects if w * h >= PAGE_AREA * 9 // 10)
    figure(f"{label}: area repainted per step", 100 * total / max(steps, 1) / PAGE_AREA, None, "% of the page",
           goal)
    figure(f"{label}: whole-page repaints", full, None, "repaints", "0" if repaints else goal)


def main() -> int:
    args = bench_cli.parser().parse_args()
    args.out.mkdir(parents=True, exist_ok=True)
    ctx = harness.TestContext(args.exe.resolve(), args.build_dir.resolve(), args.out.resolve())
    with harness.WineSession(ctx.build_dir, ctx.artifacts, "bench-page") as session:
        page = ShownPage(session, ctx)
        try:
            damage = DamageRecorder(session.display, x_window_of(session))
            page.move(300, 440)
            damage.take()

            for slider_id, name in ((SLIDER_BRIGHTNESS, "brightness"), (SLIDER_CIRCLE_COLOR, "colour")):
                out = session.wine([str(ctx.build_dir / "bin" / "pagebench.exe"), TITLE, str(slider_id)],
                                   timeout=120)
                times = [float(line.split()[2]) for line in out.stdout.splitlines() if line.startswith("step ")]
                rects = damage.take()
                if not times:
                    raise RuntimeError(f"{name}: pagebench measured nothing: {out.stderr.strip()}")
                series(f"{name} slider, one WM_HSCROLL step (sync, store, repaint)", times, "ms",
                       "<= 16 (one frame at 60 Hz)")
                report_damage(f"{name} slider steps", rects, len(times))

            # A real drag of the brightness thumb with the mouse, end to end.
            slider = page.control(SLIDER_BRIGHTNESS).rect
            page.drag_thumb(SLIDER_BRIGHTNESS, slider[0] - 20, steps=4)
            damage.take()
            page.drag_thumb(SLIDER_BRIGHTNESS, slider[2] + 20, steps=60)
            report_damage("brightness thumb dragged by the mouse (60 moves)", damage.take(), 60)

            # Dragging the window by its top strip: moving needs no repaint.
            page.move(300, 30)
            damage.take()
            session.xdotool("mousedown", "1")
            sx, sy = page.to_screen(300, 30)
            for i in range(1, 21):
                session.xdotool("mousemove", str(sx + 5 * i), str(sy + 3 * i))
                time.sleep(0.03)
            session.xdotool("mouseup", "1")
            # X reports a moved window as damaged whole; the floor is X moving the window by itself.
            report_damage("window dragged by its top strip (20 moves)", damage.take(), 20,
                          "<= the same window moved by X itself", repaints=False)
            # For comparison: the same window moved by the X server alone.
            x_id = str(x_window_of(session))
            left, top, _, _ = page.rect
            for i in range(1, 21):
                session.xdotool("windowmove", x_id, str(left - 5 * i), str(top - 3 * i))
                time.sleep(0.03)
            rects = damage.take()
            figure("floor: the same window moved by X itself (20 moves): area repainted per move",
                   100 * area(rects) / 20 / PAGE_AREA, None, "% of the page", "reference")
            figure("floor: the same window moved by X itself (20 moves): whole-page repaints",
                   sum(1 for _, _, _, w, h in rects if w * h >= PAGE_AREA * 9 // 10), None, "repaints", "reference")
            damage.close()
        finally:
            page.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
