#!/usr/bin/python3
"""Benchmark of the presentation effects under Wine (prints figures, asserts
nothing):

- remote key report sent by the simulator -> spotlight visible on the screen,
  median and p99 over many presses, next to the parts of it that are not the
  program: the link round trip (state request -> answer) and X + compositor
  (an X window mapped by us -> visible);
- CPU of the program while an effect is shown and the pointer is still,
  against the same program idle;
- the program's X resources (xrestop) before and after 500 show/hide cycles
  of each effect.

    PYTHONPATH=tests/e2e /usr/bin/python3 tools/bench/effects_bench.py \\
        --exe build/windows/bin/PresenterVela.exe --build-dir build/windows --out build/windows/artifacts/bench
"""
import argparse
import ctypes
import statistics
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
for folder in ("tests/e2e", "tests/e2e/effects", "tests/e2e/link", "tools/bench"):
    sys.path.insert(0, str(ROOT / folder))

from effects_helpers import EFFECT, SCENE, Screen, move_pointer, receiver_sim, start_backdrop, start_program  # noqa: E402
from harness import WineSession  # noqa: E402
from linkharness import find_program_pid, process_cpu_seconds  # noqa: E402
from shell_bench import x_resources  # noqa: E402

DARK_AT = (300, 300)  # far from the pointer: dark while the spotlight shows


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(fraction * (len(ordered) - 1))))]


def summary(values_s):
    ms = [v * 1000 for v in values_s]
    return f"median {statistics.median(ms):.1f} ms, p99 {percentile(ms, 0.99):.1f} ms, max {max(ms):.1f} ms (n={len(ms)})"


def dark(screen) -> bool:
    return max(screen.pixel(*DARK_AT)) < 120


def wait(predicate, timeout=3.0) -> bool:
    deadline = time.perf_counter() + timeout
    while time.perf_counter() < deadline:
        if predicate():
            return True
    return False


def press_to_visible(remote, screen, presses: int, shown=dark) -> list[float]:
    """Key report sent -> `shown(screen)`, for each press; released between."""
    times = []
    for _ in range(presses):
        sent = remote.keys(EFFECT)
        if wait(lambda: shown(screen)):
            times.append(time.perf_counter() - sent)
        remote.keys(0)
        wait(lambda: not shown(screen))
        time.sleep(0.03)
    return times


def lens_shown(screen) -> bool:
    # Left of the pointer (960, 540) the 2x lens shows the band of x = 848 (red 230)
    # where the screen itself has the band of x = 736 (red 40).
    return screen.pixel(736, 540)[0] > 150


def laser_shown(screen) -> bool:
    red, green, blue = screen.pixel(960, 540)
    return red > 200 and green < 60 and blue < 60  # the default red disc


def link_round_trip(remote, count: int) -> list[float]:
    """State request -> the program's answer, as the simulator sees it."""
    connection = remote.connection
    while True:  # drop what is queued
        try:
            connection.recv_timed(0.05)
        except TimeoutError:
            break
    times = []
    for _ in range(count):
        sent = time.perf_counter()
        connection.send(receiver_sim.state_request())
        try:
            arrived, _ = connection.recv_timed(2)
            times.append(arrived - sent)
        except TimeoutError:
            pass
        time.sleep(0.02)
    return times


def x_map_to_visible(screen, count: int) -> list[float]:
    """An override-redirect black window of our own, mapped and unmapped:
    what X and the compositor alone take to show a window."""
    x, display, root = screen._x, screen._display, screen._root

    class Attributes(ctypes.Structure):
        _fields_ = [("background_pixmap", ctypes.c_ulong), ("background_pixel", ctypes.c_ulong),
                    ("border_pixmap", ctypes.c_ulong), ("border_pixel", ctypes.c_ulong),
                    ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                    ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                    ("save_under", ctypes.c_int), ("event_mask", ctypes.c_long),
                    ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
                    ("colormap", ctypes.c_ulong), ("cursor", ctypes.c_ulong)]

    x.XCreateWindow.restype = ctypes.c_ulong
    x.XCreateWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                ctypes.c_uint, ctypes.c_uint, ctypes.c_int, ctypes.c_uint, ctypes.c_void_p,
                                ctypes.c_ulong, ctypes.c_void_p]
    for name in ("XMapRaised", "XUnmapWindow", "XDestroyWindow"):
        getattr(x, name).argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    attributes = Attributes(background_pixel=0, override_redirect=1)
    window = x.XCreateWindow(display, root, 200, 200, 200, 200, 0, 0, 1, None, 2 | 512, ctypes.byref(attributes))
    times = []
    for _ in range(count):
        sent = time.perf_counter()
        x.XMapRaised(display, window)
        x.XSync(display, 0)
        if wait(lambda: dark(screen)):
            times.append(time.perf_counter() - sent)
        x.XUnmapWindow(display, window)
        x.XSync(display, 0)
        wait(lambda: not dark(screen))
        time.sleep(0.03)
    x.XDestroyWindow(display, window)
    x.XSync(display, 0)
    return times


def cpu_percent(pid: int, seconds: float) -> float:
    before = sum(process_cpu_seconds(pid).values())
    time.sleep(seconds)
    after = sum(process_cpu_seconds(pid).values())
    return 100.0 * (after - before) / seconds


def cycles(remote, count: int, held: int = EFFECT) -> None:
    for _ in range(count):
        remote.keys(held)
        time.sleep(0.03)
        remote.keys(0)
        time.sleep(0.03)


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True, type=Path)
    parser.add_argument("--build-dir", required=True, type=Path)
    parser.add_argument("--out", required=True, type=Path)
    parser.add_argument("--presses", type=int, default=200)
    parser.add_argument("--cycles", type=int, default=500)
    args = parser.parse_args()
    exe, build_dir = args.exe.resolve(), args.build_dir.resolve()

    with WineSession(build_dir, args.out, "bench-effects") as session, receiver_sim.Simulator() as simulator:
        start_backdrop(session)
        program, remote = start_program(session, exe, simulator, LastScene=0, Default=1, Brightness=80)
        screen = Screen(session.display)
        move_pointer(session, 960, 540)
        session.xdotool("click", "1")
        pid = find_program_pid(session.prefix)

        latency = press_to_visible(remote, screen, args.presses)
        round_trip = link_round_trip(remote, 200)
        x_alone = x_map_to_visible(screen, 100)
        print(f"key report sent -> spotlight on screen: {summary(latency)}")
        print(f"  of which the link path (state request -> answer, simulator side): {summary(round_trip)}")
        print(f"  of which X + compositor (own X window mapped -> on screen): {summary(x_alone)}")
        print(f"  left for the program and Wine's window handling: about "
              f"{(statistics.median(latency) - statistics.median(x_alone) - statistics.median(round_trip) / 2) * 1000:.1f}"
              " ms (median)")

        idle = cpu_percent(pid, 10)
        remote.keys(EFFECT)
        time.sleep(1.0)
        shown = cpu_percent(pid, 10)
        remote.keys(0)
        print(f"CPU of the program, pointer still: idle {idle:.2f} %, spotlight shown {shown:.2f} % of one core")
        remote.tap(SCENE)
        print(f"key report sent -> magnifier on screen: {summary(press_to_visible(remote, screen, 50, lens_shown))}")
        remote.tap(SCENE)
        print(f"key report sent -> laser on screen: {summary(press_to_visible(remote, screen, 50, laser_shown))}")
        remote.tap(SCENE)  # back to the spotlight

        time.sleep(1.0)
        before = x_resources(session, program.pid)
        results = {}
        for scene_name in ("spotlight", "magnifier", "laser"):
            cycles(remote, args.cycles)
            time.sleep(1.0)
            results[scene_name] = x_resources(session, program.pid)
            remote.tap(SCENE)  # the next effect
        print(f"X resources at start: {before}")
        for scene_name, after in results.items():
            print(f"X resources after {args.cycles} show/hide cycles of the {scene_name}: {after}")

        screen.close()
        session.probe("post", "KORVEL_PRESENTER", "0x111", "32774")
        program.wait(timeout=10)
        remote.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
