"""Helpers of the effect tests: the simulated remote with its keys, the
backdrop window with its computable picture, and fast reads of the
composited screen (libX11 through ctypes: XGetImage on the root)."""
from __future__ import annotations

import ctypes
import ctypes.util
import sys
import threading
import time
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
for folder in (HERE.parents[2] / "tools" / "receiver-sim", HERE.parent / "app"):
    if str(folder) not in sys.path:
        sys.path.insert(0, str(folder))

import receiver_sim  # noqa: E402
from shell_helpers import TITLE, quit_by_command, wait_link_ready, wait_until  # noqa: E402,F401

REG_PREFIX = "SOFTWARE\\Korvel\\PresenterVela\\"
UM_SHOW_MAIN = 0x465
UM_LINK_KEYS = 0x46E
BACKDROP_CLASS = "PvBackdrop"
EFFECT = receiver_sim.ST_EFFECT_KEY
SCENE = receiver_sim.ST_SCENE_KEY
LATCH = receiver_sim.ST_LATCH
SIZE_UP = receiver_sim.ST_SIZE_UP
SIZE_DOWN = receiver_sim.ST_SIZE_DOWN


# ------------------------------------------------------------------ remote
class Remote:
    """The receiver and the remote. The remote repeats its current key state
    every 300 ms (as the real one reports while linked); a key press or
    release sends the new state at once."""

    def __init__(self, simulator: "receiver_sim.Simulator"):
        self.simulator = simulator
        self.connection = None
        self.status = 0
        self._lock = threading.Lock()
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def start(self) -> "Remote":
        self._thread.start()
        return self

    def _run(self) -> None:
        try:
            connection = self.simulator.accept(timeout=60)
            connection.chosen(timeout=10)
            self.connection = connection
            while not self._stop.wait(0.3):
                with self._lock:
                    connection.send(receiver_sim.key_status(self.status))
        except Exception:  # the program went away: nothing more to play
            pass

    def wait_linked(self, timeout: float = 40) -> bool:
        """Connected, past the receiver's settle delay (the hello) and answering."""
        return wait_link_ready(self, timeout) is not None

    def keys(self, status: int) -> float:
        """Sends a new key state now; returns the send time (perf_counter)."""
        with self._lock:
            self.status = status
            sent = time.perf_counter()
            self.connection.send(receiver_sim.key_status(status))
        return sent

    def tap(self, status: int, held: int = 0, pause: float = 0.15) -> None:
        """Presses keys on top of `held` and lets them go again."""
        self.keys(held | status)
        time.sleep(pause)
        self.keys(held)
        time.sleep(pause)

    def state(self) -> "receiver_sim.OutputReport":
        """Asks the program for its state, as the receiver does, and decodes the answer."""
        while True:  # what the program sent before is not the answer
            try:
                self.connection.recv_timed(0.05)
            except TimeoutError:
                break
        with self._lock:
            self.connection.send(receiver_sim.state_request())
        return receiver_sim.decode_output(self.connection.next_output(timeout=3))

    def black_screen(self) -> float:
        with self._lock:
            sent = time.perf_counter()
            self.connection.send(receiver_sim.black_screen())
        return sent

    def stop(self) -> None:
        self._stop.set()
        self._thread.join(timeout=5)
        if self.connection is not None:
            self.connection.close()


# ------------------------------------------------------------------ backdrop
def pattern_at(x: int, y: int) -> tuple[int, int, int]:
    """The backdrop's pattern at a point of its client area (pvbackdrop.cpp)."""
    return (230 if (x >> 5) & 1 == 0 else 40, 230 if (y >> 5) & 1 == 0 else 40, 120)


def start_backdrop(session, picture: str = "pattern", lifetime_ms: int = 600000):
    process = session.spawn([str(session.build_dir / "bin" / "pvbackdrop.exe"), picture, str(lifetime_ms)])
    if not wait_until(lambda: backdrop(session) is not None, 30):
        raise AssertionError("the backdrop window did not appear")
    return process


def backdrop(session):
    """The backdrop's window (pvprobe list line), or None."""
    for window in session.top_level_windows():
        if window.class_name == BACKDROP_CLASS and window.visible:
            return window
    return None


def backdrop_title(session) -> str:
    window = backdrop(session)
    return window.text if window else ""


def foreground_title(session) -> str:
    return session.probe("foreground").stdout.strip()


def taskbar_windows(session) -> list:
    return [w for w in session.top_level_windows() if w.class_name == "Shell_TrayWnd"]


def start_program(session, exe: Path, simulator, **settings: int):
    """Stores settings (REG_DWORD by name), then starts the program pointed
    at the simulator, with a remote that is on."""
    for name, value in settings.items():
        session.reg_add(REG_PREFIX + name, "REG_DWORD", str(value))
    session.reg_add(REG_PREFIX + "FirstRun", "REG_DWORD", "0")  # no manual opening over the backdrop
    remote = Remote(simulator).start()
    program = session.start_program(exe, PRESENTER_VELA_RECEIVER=simulator.variable())
    if not session.wait_window(TITLE, 40):
        raise AssertionError("the program's window did not appear")
    if not remote.wait_linked():
        raise AssertionError("the program never connected to the simulated receiver")
    return program, remote


def move_pointer(session, x: int, y: int) -> None:
    session.xdotool("mousemove", str(x), str(y))
    time.sleep(0.15)


# ------------------------------------------------------------------ screen
class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


class _XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class _XFixesCursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.c_void_p), ("atom", ctypes.c_ulong),
                ("name", ctypes.c_char_p)]


@dataclass
class Grab:
    """A rectangle of the screen as 32-bit BGRX rows."""
    left: int
    top: int
    width: int
    height: int
    data: bytes
    stride: int

    def pixel(self, x: int, y: int) -> tuple[int, int, int]:
        """(r, g, b) at a screen point inside the grab."""
        offset = (y - self.top) * self.stride + (x - self.left) * 4
        b, g, r = self.data[offset], self.data[offset + 1], self.data[offset + 2]
        return r, g, b


class Screen:
    """The session's X display, read directly: a grab of the composited root
    costs a few ms, so tests can poll it."""

    def __init__(self, display: str):
        self._x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        x = self._x
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XGetImage.restype = ctypes.POINTER(_XImage)
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                      ctypes.c_int, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p]
        self._display = x.XOpenDisplay(display.encode())
        if not self._display:
            raise RuntimeError(f"cannot open X display {display}")
        self._root = x.XDefaultRootWindow(self._display)
        self._fixes = None
        try:
            self._fixes = ctypes.CDLL(ctypes.util.find_library("Xfixes") or "libXfixes.so.3")
            self._fixes.XFixesGetCursorImage.restype = ctypes.POINTER(_XFixesCursorImage)
            self._fixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        except OSError:
            self._fixes = None
        self._repaints = 0

    def grab(self, left: int, top: int, width: int, height: int) -> Grab:
        image = self._x.XGetImage(self._display, self._root, left, top, width, height, 0xFFFFFFFF, 2)
        if not image:
            raise RuntimeError("XGetImage failed")
        try:
            info = image.contents
            size = info.bytes_per_line * info.height
            data = ctypes.string_at(info.data, size)
            return Grab(left, top, info.width, info.height, data, info.bytes_per_line)
        finally:
            self._x.XFree(image.contents.data)
            self._x.XFree(image)

    def pixel(self, x: int, y: int) -> tuple[int, int, int]:
        return self.grab(x, y, 1, 1).pixel(x, y)

    def mapped(self, window: int) -> bool:
        """Whether an X window is mapped (IsViewable), asked without a process start."""
        attributes = _XWindowAttributes()
        if not self._x.XGetWindowAttributes(self._display, ctypes.c_ulong(window), ctypes.byref(attributes)):
            return False
        return attributes.map_state == 2  # IsViewable

    def pointer_visible(self) -> bool:
        """Whether the pointer's current image has any visible pixel (XFixes).
        Wine shows a hidden pointer as an empty image. Without XFixes the
        answer is unknown, which no test may take for either answer."""
        if self._fixes is None:
            raise RuntimeError("the pointer cannot be seen without libXfixes (scripts/setup.sh installs it)")
        image = self._fixes.XFixesGetCursorImage(self._display)
        if not image:
            raise RuntimeError("XFixesGetCursorImage gave no pointer image")
        try:
            info = image.contents
            pixels = ctypes.cast(info.pixels, ctypes.POINTER(ctypes.c_ulong))
            return any(pixels[i] >> 24 for i in range(info.width * info.height))
        finally:
            self._x.XFree(image)

    def repaint(self) -> None:
        """Makes xcompmgr paint the whole screen anew (it does not always
        repaint after a window's shape changed): a new value of the root's
        _XSETROOT_ID, one of the background properties it watches."""
        self._repaints += 1
        atom = self._x.XInternAtom(self._display, b"_XSETROOT_ID", 0)
        value = ctypes.c_long(self._repaints)
        self._x.XChangeProperty(self._display, self._root, atom, 19, 32, 0, ctypes.byref(value), 1)  # INTEGER
        self._x.XSync(self._display, 0)
        time.sleep(0.08)

    def settled_grab(self, left: int, top: int, width: int, height: int) -> Grab:
        self.repaint()
        return self.grab(left, top, width, height)

    def close(self) -> None:
        if self._display:
            self._x.XCloseDisplay(self._display)
            self._display = None


def close_to(actual: tuple[int, int, int], expected: tuple[int, int, int], tolerance: int = 6) -> bool:
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def darkened(colour: tuple[int, int, int], opacity: int) -> tuple[int, int, int]:
    """A colour under black at opacity/255."""
    return tuple(round(c * (255 - opacity) / 255) for c in colour)


def opacity_for(brightness: int) -> int:
    return (2 * brightness + 55) % 256


def hue_to_color(index: int) -> tuple[int, int, int]:
    """The laser colour of a colour-slider position (ui/mainwindow/core/hue_color.h)."""
    if index >= 240:
        return 255, 0, 0
    sector, t = divmod(index, 40)
    v = (39 - t) * 255 // 40 if sector % 2 == 1 else t * 255 // 40
    return [(255, v, 0), (v, 255, 0), (0, 255, v), (0, v, 255), (v, 0, 255), (255, 0, v)][sector]
