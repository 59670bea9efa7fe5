"""Driving the online update of the real program: start it with a simulated
remote and a loopback update server, open the settings page, click its
"Update" link, and read and press the boxes and the update dialog."""
from __future__ import annotations

import faulthandler
import shutil
import signal
import sys
import time
from pathlib import Path

import harness

APP_DIR = Path(__file__).resolve().parents[1] / "app"
if str(APP_DIR) not in sys.path:
    sys.path.insert(0, str(APP_DIR))

from shell_helpers import (TITLE, RemoteKeepAlive, click_tray, receiver_sim, wait_link_ready,  # noqa: E402,F401
                           wait_until)

# `kill -USR1 <pid>` prints where a stuck test is.
faulthandler.register(signal.SIGUSR1, all_threads=True)

QUESTION_CAPTION = {"en": "Presenter Vela", "zh": "翻页笔Vela"}
MESSAGE_CAPTION = "PresenterVela"  # plain boxes carry the executable's name
DIALOG_CAPTION = "Update"
BUTTONS = {"en": ("&Update", "&Esc", "&Download by IE"), "zh": ("&升级", "&取消", "&浏览器下载")}
LATEST = {"en": "It is the latest version.", "zh": "当前已是最新版本软件"}
CHECK_FAILED = {"en": "The update check failed. Please try again later.", "zh": "检查更新失败，请稍后再试。"}
CANNOT_CONNECT = "can not connect to server"
UPDATE_LINK_POINT = (577, 94)  # inside the settings page's update link (550, 82)-(605, 106)
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
WM_COMMAND = 0x0111
STATUS, LABEL, COUNTER = "1004", "1005", "1006"
WORK_FOLDER_WIN = "C:\\users\\root\\Presenter_Vela"
LOCAL_VERSION = "1.0.0.1"

FAKE_XDG_OPEN = """#!/bin/sh
echo "$@" >> "{log}"
"""


class Program:
    """The program copied into a folder with spaces in its name (or, with
    from_work_folder, into the work folder as its autostart copy), started
    with the simulated receiver and the update server's URL."""

    def __init__(self, session: "harness.WineSession", ctx, simulator, base_url: str,
                 from_work_folder: bool = False, **env: str):
        self.session = session
        self.work_folder = session.prefix / "drive_c" / "users" / "root" / "Presenter_Vela"
        if from_work_folder:
            self.work_folder.mkdir(parents=True, exist_ok=True)
            self.exe = self.work_folder / "PresenterVela_xp.exe"
            self.windows_path = WORK_FOLDER_WIN + "\\PresenterVela_xp.exe"
        else:
            folder = session.prefix / "drive_c" / "Vela Tools"
            folder.mkdir(exist_ok=True)
            self.exe = folder / "PresenterVela.exe"
            self.windows_path = "C:\\Vela Tools\\PresenterVela.exe"
        shutil.copy2(ctx.exe, self.exe)
        self.message_caption = self.exe.stem  # plain boxes carry the executable's name
        fake_bin = session.root / "fakebin"
        fake_bin.mkdir(exist_ok=True)
        self.opened_log = session.root / "opened.log"
        script = fake_bin / "xdg-open"
        script.write_text(FAKE_XDG_OPEN.format(log=self.opened_log))
        script.chmod(0o755)
        self.remote = RemoteKeepAlive(simulator).start()
        self.linked = False
        variables = {"PATH": f"{fake_bin}:{session.env()['PATH']}",
                     "PRESENTER_VELA_RECEIVER": simulator.variable(),
                     "PRESENTER_VELA_UPDATE_URL": base_url,
                     "PRESENTER_VELA_UPDATE_TIMEOUT_MS": "2000"}
        variables.update(env)
        self.process = session.start_program(self.exe, **variables)

    def opened(self) -> list[str]:
        return self.opened_log.read_text().split() if self.opened_log.exists() else []

    def opened_urls(self) -> list[str]:
        """What the browser was asked to open (the manual of the first start aside)."""
        return [entry for entry in self.opened() if entry.startswith("http")]

    def show_settings_page(self) -> None:
        session = self.session
        assert session.wait_window(TITLE, 30), "the main window did not appear"
        if not self.linked:
            assert wait_link_ready(self.remote, 30), "the program never linked with the simulated receiver"
            self.linked = True
        for _ in range(3):
            click_tray(session, 1)
            if wait_until(lambda: session.window_visible(TITLE), 5):
                time.sleep(0.5)
                return
        raise AssertionError("the settings page did not show")

    def click_update_link(self) -> None:
        session = self.session
        if not session.window_visible(TITLE):
            self.show_settings_page()
        left, top, _, _ = session.window_rect(TITLE)
        session.xdotool("mousemove", str(left + UPDATE_LINK_POINT[0]), str(top + UPDATE_LINK_POINT[1]))
        time.sleep(0.2)
        session.xdotool("click", "1")

    def quit(self) -> int:
        from shell_helpers import quit_by_command
        quit_by_command(self.session)
        code = self.process.wait(timeout=15)
        self.remote.stop()
        return code


def visible_box(session, caption: str):
    for window in session.top_level_windows():
        if window.visible and window.class_name == "#32770" and window.text == caption:
            return window
    return None


def wait_box(session, caption: str, timeout: float = 20):
    found = []
    wait_until(lambda: found.append(visible_box(session, caption)) or found[-1] is not None, timeout, 0.2)
    return found[-1] if found else None


def target(session, caption: str) -> str:
    """How pvprobe is told the visible box with that caption: by its handle,
    since a Chinese caption does not survive Wine's command line."""
    box = visible_box(session, caption)
    return f"hwnd:{box.handle}" if box is not None else caption


def controls(session, caption: str) -> dict[str, str]:
    """Control id -> text of the window with that caption."""
    return {c.handle: c.text for c in session.child_windows(target(session, caption))}


def control_rects(session, caption: str) -> dict[str, tuple[int, int, int, int]]:
    return {c.handle: c.rect for c in session.child_windows(target(session, caption))}


def box_text(session, caption: str) -> str:
    texts = controls(session, caption)
    return texts.get("65535", texts.get("-1", ""))


def click_control(session, caption: str, control_id: int) -> None:
    rect = control_rects(session, caption)[str(control_id)]
    x, y = (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2
    session.xdotool("mousemove", str(x - 3), str(y - 2))
    session.xdotool("mousemove", str(x), str(y))
    time.sleep(0.2)
    session.xdotool("click", "1")


def window_shown(session, handle: str) -> bool:
    return any(w.handle == handle and w.visible for w in session.top_level_windows())


def press_button(session, caption: str, control_id: int) -> None:
    """Clicks a button of a box that closes it, and waits until that very box
    is gone (the next box may carry the same caption). A click Wine drops is
    made good with the button's own command."""
    box = visible_box(session, caption)
    assert box is not None, f"no box {caption!r}"
    click_control(session, caption, control_id)
    if not wait_until(lambda: not window_shown(session, box.handle), 3):
        print(f"click on button {control_id} of {caption!r} was dropped; sending its command")
        session.probe("post", f"hwnd:{box.handle}", str(WM_COMMAND), str(control_id))
    assert wait_until(lambda: not window_shown(session, box.handle), 5), "the box did not close"


def press_ok(session, caption: str = MESSAGE_CAPTION) -> None:
    press_button(session, caption, IDOK)


def read_message(session, timeout: float = 20, caption: str = MESSAGE_CAPTION) -> str | None:
    """Text of the next plain message box of the program, which is closed."""
    if wait_box(session, caption, timeout) is None:
        return None
    text = box_text(session, caption)
    press_ok(session, caption)
    return text


def remove(path: Path) -> None:
    if path.exists():
        path.unlink()
