#!/usr/bin/python3
"""Benchmark of the presentation effects under Wine (prints figures, asserts
nothing):

- remote key report sent by the simulator -> spotlight, magnifier and laser
  on the screen, median and p99, each beside the floor measured in the same
  run: latency_floor.exe (tests/bench), a bare Win32 program that shows a
  pre-created full-screen layered window with a hole when a byte arrives on a
  loopback socket, on the same X server, compositor and Wine prefix; presses
  alternate in blocks between the program and the floor, and the ratio of
  the two is the figure to watch. The parts of the way that are not ours:
  the link round trip (state request -> answer) and X + compositor alone (an
  X window mapped by us -> visible);
- CPU of the program while an effect is shown and the pointer is still,
  against the same program idle;
- the program's X resources (xrestop) before and after 500 show/hide cycles
  of each effect.

    /usr/bin/python3 tests/bench/effects_bench.py \\
        --exe build/windows/bin/PresenterVela.exe --build-dir build/windows --out build/windows/artifacts/bench
"""
import ctypes
import socket
import sys
import time
from pathlib import Path

import bench_cli
import e2e_paths

e2e_paths.use("effects", "link")

from effects_helpers import EFFECT, SCENE, Screen, move_pointer, receiver_sim, start_backdrop, start_program  # noqa: E402
from figures import figure, ratio, series  # noqa: E402
from harness import WineSession  # noqa: E402
from linkharness import find_program_pid, process_cpu_seconds  # noqa: E402
from shell_bench import x_resource_total  # noqa: E402

DARK_AT = (300, 300)  # far from the pointer: dark while the spotlight (or the floor's window) shows
BRIGHTNESS, SPOTLIGHT_SIZE = 80, 500
OPACITY = 2 * BRIGHTNESS + 55
BLOCK = 20  # presses in a row before the other side's turn
KEY_GOAL = "<= 1.1 x floor"


def dark(screen) -> bool:
    return max(screen.pixel(*DARK_AT)) < 120


def wait(predicate, timeout=3.0) -> bool:
    deadline = time.perf_counter() + timeout
    while time.perf_counter() < deadline:
        if predicate():
            return True
    return False


def timed_presses(press, release, shown, count: int) -> list[float]:
    """press() (returns its send time) -> shown(), for each press; released between."""
    times = []
    for _ in range(count):
        sent = press()
        if wait(shown):
            times.append(time.perf_counter() - sent)
        release()
        wait(lambda: not shown())
        time.sleep(0.03)
    return times


def alternating(ours, floor, presses: int) -> tuple[list[float], list[float]]:
    """The program's presses and the floor's, in alternating blocks of BLOCK:
    both see the same machine load over the run."""
    mine, floors = [], []
    for _ in range(max(1, presses // BLOCK)):
        mine += timed_presses(*ours, BLOCK)
        floors += timed_presses(*floor, BLOCK)
    return mine, floors


class Floor:
    """latency_floor.exe in the session, driven over a loopback socket."""

    def __init__(self, session, build_dir: Path, opacity: int, hole: int):
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        self.listener.settimeout(60)
        port = self.listener.getsockname()[1]
        session.spawn([str(build_dir / "bin" / "latency_floor.exe"), str(port), str(opacity), str(hole)])
        self.connection, _ = self.listener.accept()
        self.connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.connection.settimeout(30)
        if self.connection.recv(1) != b"R":
            raise RuntimeError("the floor program did not get ready")

    def show(self) -> float:
        sent = time.perf_counter()
        self.connection.sendall(b"S")
        return sent

    def hide(self) -> None:
        self.connection.sendall(b"H")

    def close(self) -> None:
        self.connection.close()
        self.listener.close()


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
    before = process_cpu_seconds(pid)
    time.sleep(seconds)
    after = process_cpu_seconds(pid)
    if not before or not after:
        raise RuntimeError(f"no threads of pid {pid} to measure")
    return 100.0 * (sum(after.values()) - sum(before.values())) / seconds


def cycles(remote, count: int, held: int = EFFECT) -> None:
    for _ in range(count):
        remote.keys(held)
        time.sleep(0.03)
        remote.keys(0)
        time.sleep(0.03)


def main() -> int:
    parser = bench_cli.parser()
    parser.add_argument("--presses", type=int, default=200)
    parser.add_argument("--cycles", type=int, default=500)
    args = parser.parse_args()
    exe, build_dir = args.exe.resolve(), args.build_dir.resolve()

    with WineSession(build_dir, args.out, "bench-effects") as session, receiver_sim.Simulator() as simulator:
        start_backdrop(session)
        program, remote = start_program(session, exe, simulator, LastScene=0, Default=1, Brightness=BRIGHTNESS,
                                        SpotlightSize=SPOTLIGHT_SIZE)
        screen = Screen(session.display)
        move_pointer(session, 960, 540)
        session.xdotool("click", "1")
        pid = find_program_pid(session.prefix)
        floor = Floor(session, build_dir, OPACITY, SPOTLIGHT_SIZE)
        floor_side = (floor.show, floor.hide, lambda: dark(screen))

        def key_to_effect(effect: str, shown, presses: int) -> None:
            ours = (lambda: remote.keys(EFFECT), lambda: remote.keys(0), lambda: shown(screen))
            mine, floors = alternating(ours, floor_side, presses)
            measured = series(f"key report -> {effect} on screen", mine, "ms", KEY_GOAL, 1000)
            bare = series(f"floor beside the {effect}: bare layered window shown on a socket byte", floors, "ms",
                          "reference", 1000)
            ratio(f"key report -> {effect} / floor", measured, bare, "<= 1.1")

        key_to_effect("spotlight", dark, args.presses)
        series("of which the link: state request -> answer (simulator side)", link_round_trip(remote, 200), "ms",
               "reference", 1000)
        series("of which X + compositor: own X window mapped -> on screen", x_map_to_visible(screen, 100), "ms",
               "reference", 1000)

        idle = cpu_percent(pid, 10)
        remote.keys(EFFECT)
        time.sleep(1.0)
        shown = cpu_percent(pid, 10)
        remote.keys(0)
        figure("CPU of the program, idle, pointer still (10 s)", idle, None, "% of a core", "<= 1")
        figure("CPU of the program, spotlight shown, pointer still (10 s)", shown, None, "% of a core", "<= 1")
        remote.tap(SCENE)
        key_to_effect("magnifier", lens_shown, args.presses // 4)
        remote.tap(SCENE)
        key_to_effect("laser", laser_shown, args.presses // 4)
        remote.tap(SCENE)  # back to the spotlight
        floor.close()

        time.sleep(1.0)
        before = x_resource_total(session, program.pid)
        for scene_name in ("spotlight", "magnifier", "laser"):
            cycles(remote, args.cycles)
            time.sleep(1.0)
            after = x_resource_total(session, program.pid)
            figure(f"X resources growth over {args.cycles} show/hide cycles of the {scene_name}", after - before,
                   None, "resources", "0")
            before = after
            remote.tap(SCENE)  # the next effect

        screen.close()
        session.probe("post", "KORVEL_PRESENTER", "0x111", "32774")
        program.wait(timeout=10)
        remote.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
