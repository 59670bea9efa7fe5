"""Helpers of the application-shell tests: the program under a simulated
receiver, the splash and main windows, the Wine tray icon and its menu."""
from __future__ import annotations

import subprocess
import sys
import threading
import time
from pathlib import Path

import harness

SIM_DIR = Path(__file__).resolve().parents[3] / "tools" / "receiver-sim"
if str(SIM_DIR) not in sys.path:
    sys.path.insert(0, str(SIM_DIR))

import receiver_sim  # noqa: E402

TITLE = "KORVEL_PRESENTER"
REG_PREFIX = "SOFTWARE\\Korvel\\PresenterVela\\"
WM_COMMAND = 0x0111
IDM_TRAY_QUIT = 32774
SPLASH_SIZE = (568, 436)
SETTINGS_PAGE_SIZE = (621, 462)
NOT_READY_SIZE = {"en": (596, 445), "zh": (596, 446)}
ART_DIR = Path(__file__).resolve().parents[3] / "resources" / "art"


class RemoteKeepAlive:
    """Plays the receiver and the remote: answers the program's connection
    and, while the remote is on, sends a key-status report every 500 ms so the
    radio link stays up. With the remote off the receiver stays silent."""

    def __init__(self, simulator: "receiver_sim.Simulator", remote_on: bool = True):
        self.simulator = simulator
        self.connection = None
        self._remote_on = threading.Event()
        if remote_on:
            self._remote_on.set()
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def start(self) -> "RemoteKeepAlive":
        self._thread.start()
        return self

    def switch_remote(self, on: bool) -> None:
        if on:
            self._remote_on.set()
        else:
            self._remote_on.clear()

    def _run(self) -> None:
        try:
            while not self._stop.is_set():
                connection = self.simulator.accept(timeout=60)
                connection.chosen(timeout=10)
                self.connection = connection
                while not self._stop.wait(0.5):
                    if connection.wait_closed(0):
                        break  # the program gave up on the silent receiver: accept its next attempt
                    if self._remote_on.is_set():
                        try:
                            connection.send(receiver_sim.key_status(0))
                        except receiver_sim.ConnectionClosed:
                            break  # switched on just as the program let go: the next connection hears it
        except Exception:  # the program went away: nothing more to play
            pass

    def stop(self) -> None:
        self._stop.set()
        self._thread.join(timeout=5)
        if self.connection is not None:
            self.connection.close()


def wait_link_ready(remote, timeout: float = 15) -> "receiver_sim.OutputReport | None":
    """Waits, bounded, until the program has linked with the simulated
    receiver: its connection, its hello (sent after the receiver's settle
    delay), and its answer to a state request, which is returned (None when
    one of them did not come). Reads the program's output reports meanwhile,
    so only for a remote whose thread does not read them."""
    deadline = time.monotonic() + timeout
    if not wait_until(lambda: remote.connection is not None, timeout):
        return None
    connection = remote.connection
    try:
        while not receiver_sim.is_hello(connection.next_output(max(0.01, deadline - time.monotonic()))):
            pass
        connection.send(receiver_sim.state_request())
        while True:
            answer = receiver_sim.decode_output(connection.next_output(max(0.01, deadline - time.monotonic())))
            if not receiver_sim.is_hello(answer.raw) and answer.valid:
                return answer
    except (TimeoutError, receiver_sim.ConnectionClosed):
        return None


def splash_windows(session: "harness.WineSession", pid_filter=None, scale: int = 1) -> list:
    """Visible dialog windows with the splash picture's size (times the
    screen's scaling, as a per-monitor aware observer sees the system-scaled
    splash: 2 at LogPixels 192)."""
    size = (SPLASH_SIZE[0] * scale, SPLASH_SIZE[1] * scale)
    return [w for w in session.top_level_windows()
            if w.class_name == "#32770" and w.visible and w.size == size]


def wait_until(predicate, timeout: float, interval: float = 0.1) -> bool:
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(interval)
    return predicate()


def tray_icon_point(session: "harness.WineSession") -> tuple[int, int] | None:
    """Screen point of the first icon in Wine's own tray window."""
    for window in session.top_level_windows():
        if window.visible and "Tray" in window.text and "Wine" in window.text:
            left, top, right, bottom = window.rect
            # The icons sit in the client area under Wine's caption, from the left.
            return left + 12, bottom - 12
    return None


def click_tray(session: "harness.WineSession", button: int) -> None:
    """Clicks the tray icon, once it is there (waited for, bounded)."""
    points = []
    wait_until(lambda: points.append(tray_icon_point(session)) or points[-1] is not None, 15, 0.2)
    point = points[-1] if points else None
    if point is None:
        raise AssertionError("Wine's tray window is not shown: " + repr(session.top_level_windows()))
    session.xdotool("mousemove", str(point[0]), str(point[1]))
    time.sleep(0.2)
    session.xdotool("click", str(button))


# A client point of the settings page's AutoBoot switch.
AUTOBOOT_SWITCH = (575, 183)


def switch_autoboot_on_page(session: "harness.WineSession") -> bool:
    """Clicks the shown page's AutoBoot switch as a user does: the pointer
    moves onto it first (the page acts on the region the last move entered),
    then the button. True once the setting reads 1 (waited for, bounded)."""
    left, top, _, _ = session.window_rect(TITLE)
    x, y = left + AUTOBOOT_SWITCH[0], top + AUTOBOOT_SWITCH[1]
    session.xdotool("mousemove", str(x - 1), str(y))
    time.sleep(0.15)
    session.xdotool("mousemove", str(x), str(y))
    time.sleep(0.15)
    session.xdotool("click", "1")
    return wait_until(lambda: session.reg_dword(REG_PREFIX + "AutoBoot") == 1, 10)


def open_tray_menu(session: "harness.WineSession") -> "harness.WindowInfo":
    """Right click on the tray icon; returns the popup menu's window. A click
    that Wine's tray window drops (it happens right after another window
    took the foreground) is repeated once."""
    for _ in range(2):
        click_tray(session, 3)
        menus = []
        if wait_until(lambda: menus.extend(w for w in session.top_level_windows()
                                           if w.class_name == "#32768" and w.visible) or menus, 4):
            return menus[0]
        session.xdotool("key", "Escape")
    session.screenshot("tray-menu-missing")
    raise AssertionError("the tray menu did not open: " + repr(session.top_level_windows()))


def tray_tooltip(session: "harness.WineSession", timeout: float = 6) -> str | None:
    """Hovers over the tray icon and returns the tooltip's text ("\\n" for a
    line break), or None when no tooltip showed (or the icon is not there
    yet: the window exists before its icon is added)."""
    point = tray_icon_point(session)
    if point is None:
        return None
    session.xdotool("mousemove", str(point[0] + 1), str(point[1]))
    session.xdotool("mousemove", str(point[0]), str(point[1]))
    tips: list[str] = []

    def visible_tip() -> bool:
        tips[:] = [w.text for w in session.top_level_windows()
                   if w.class_name == "tooltips_class32" and w.visible and w.text]
        return bool(tips)

    text = tips[0] if wait_until(visible_tip, timeout, 0.2) else None
    session.xdotool("mousemove", "900", "900")  # moving away hides it for the next look
    wait_until(lambda: not visible_tip(), 3, 0.2)
    return text


def free_port() -> int:
    import socket
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def click_last_menu_item(session: "harness.WineSession", menu: "harness.WindowInfo") -> None:
    """Clicks the last item of an open popup menu (the tray menu's Quit)."""
    left, top, right, bottom = menu.rect
    session.xdotool("mousemove", str(left + 30), str(bottom - 10))
    time.sleep(0.2)
    session.xdotool("click", "1")


def quit_via_tray_menu(session: "harness.WineSession") -> None:
    click_last_menu_item(session, open_tray_menu(session))


def quit_by_command(session: "harness.WineSession") -> bool:
    return session.probe("post", TITLE, str(WM_COMMAND), str(IDM_TRAY_QUIT)).returncode == 0


def crop(png: Path, rect: tuple[int, int, int, int], out: Path) -> Path:
    left, top, right, bottom = rect
    subprocess.run(["convert", str(png), "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage",
                    str(out)], check=True, timeout=30)
    return out


def differing_pixels(a: Path, b: Path, region: str) -> int:
    """Pixels that differ between two images inside a WxH+X+Y region."""
    result = subprocess.run(
        ["compare", "-metric", "AE", "-fuzz", "2%",
         f"{a}[{region}]", f"{b}[{region}]", "null:"],
        capture_output=True, text=True, timeout=60)
    return int(float(result.stderr.split()[0]))
