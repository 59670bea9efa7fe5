"""One Wine session for an end-to-end test: a private prefix, a virtual
display with a compositor, and everything needed to drive and observe the
program under test.

Every process the session starts dies with it: they are started with a
parent-death signal, tracked by PID and stopped in stop(), which also runs
when a test fails. Every wait is bounded.
"""
from __future__ import annotations

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from dataclasses import dataclass
from pathlib import Path

from .pdeathsig import die_with_parent
from .two_monitors import MonitorControl, TwoMonitors, start_xorg

REQUIRED_TOOLS = ("Xvfb", "wine", "wineserver", "xdotool", "import", "convert")


class WineSession:
    """Context manager: `with WineSession(...) as s:` starts and always stops."""

    def __init__(self, build_dir: Path, artifacts: Path, name: str,
                 screen: tuple[int, int] = (1920, 1080), compositor: bool = True,
                 lang: str | None = None, extra_env: dict[str, str] | None = None,
                 monitors: TwoMonitors | None = None):
        """monitors: a display with two real monitors (Xorg's dummy driver,
        see two_monitors.py) instead of Xvfb's one screen of `screen`."""
        self.build_dir = Path(build_dir)
        self.artifacts = Path(artifacts)
        self.name = name
        self.screen = screen
        self.compositor = compositor
        self.lang = lang
        self.extra_env = dict(extra_env or {})
        self.monitors = monitors
        self.monitor_control: MonitorControl | None = None
        self.root = self.build_dir / "e2e-prefixes" / f"{name}-{os.getpid()}"
        self.prefix = self.root / "prefix"
        self.home = self.root / "home"
        self.display: str | None = None
        self._children: list[subprocess.Popen] = []
        self._xvfb: subprocess.Popen | None = None
        self._wineserver: subprocess.Popen | None = None
        self._watchdog: subprocess.Popen | None = None

    # ------------------------------------------------------------------ set-up
    def __enter__(self) -> "WineSession":
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc) -> None:
        self.stop()

    def start(self) -> None:
        missing = [tool for tool in REQUIRED_TOOLS if shutil.which(tool) is None]
        if missing:
            raise unittest.SkipTest("needs " + ", ".join(missing) + " (scripts/setup.sh installs them)")
        self.artifacts.mkdir(parents=True, exist_ok=True)
        self._start_watchdog()
        self._clone_template_prefix()
        self._start_display()
        self._start_wineserver()

    def _start_watchdog(self) -> None:
        # In a session of its own and without a parent-death signal: it must
        # outlive this process to clean up after it if it is killed.
        self._watchdog = subprocess.Popen(
            [sys.executable, str(Path(__file__).with_name("watchdog.py")), str(os.getpid()), str(self.prefix)],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)

    def _clone_template_prefix(self) -> None:
        template = self.build_dir / "wine" / "template"
        script = Path(__file__).resolve().parents[3] / "scripts" / "lib" / "wine-env.sh"
        command = (f'source "{script}" && pv_wine_ensure_template "{self.build_dir}" && '
                   f'pv_wine_clone_prefix "{template}" "{self.root}"')
        subprocess.run(["bash", "-c", command], check=True, timeout=300)

    def _start_display(self) -> None:
        if self.monitors is not None:
            self._start_two_monitor_display()
            return
        read_fd, write_fd = os.pipe()
        width, height = self.screen
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=die_with_parent)
        os.close(write_fd)
        number = _read_line_with_timeout(read_fd, 10.0)
        os.close(read_fd)
        if not number:
            raise RuntimeError("Xvfb did not report a display within 10 s")
        self.display = ":" + number.strip()
        if self.compositor:
            # Without a compositor Xvfb shows LWA_ALPHA windows opaque.
            self.spawn(["xcompmgr"], wine=False)

    def _start_two_monitor_display(self) -> None:
        # Xorg stands in for Xvfb and is stopped by PID like it; its
        # configuration and log stay with the artifacts.
        self._xvfb, self.display = start_xorg(self.monitors, self.artifacts / f"xorg-{self.name}",
                                              _read_line_with_timeout)
        self.monitor_control = MonitorControl(self.display, self.monitors)
        if self.compositor:
            self.spawn(["xcompmgr"], wine=False)

    def _start_wineserver(self) -> None:
        # A foreground, persistent wineserver that is our child: if the test
        # process is killed, it dies, and every Wine process of the prefix
        # with it.
        self._wineserver = subprocess.Popen(
            ["wineserver", "-f", "-p"], env=self.env(), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, preexec_fn=die_with_parent)
        self.wine(["reg", "query", r"HKCU\Software\Wine"], timeout=60)

    # ------------------------------------------------------------- environment
    def env(self, **overrides: str) -> dict[str, str]:
        env = dict(os.environ)
        env.update({
            "WINEPREFIX": str(self.prefix),
            "HOME": str(self.home),
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d;winealsa.drv,winepulse.drv=d",
        })
        if self.display:
            env["DISPLAY"] = self.display
        if self.lang:
            env["LC_ALL"] = self.lang
        env.update(self.extra_env)
        env.update(overrides)
        return env

    # --------------------------------------------------------------- processes
    def spawn(self, argv: list[str], wine: bool = True, env: dict[str, str] | None = None,
              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, cwd: Path | None = None) -> subprocess.Popen:
        """Starts a process that the session stops at the end."""
        command = (["wine"] + argv) if wine else argv
        process = subprocess.Popen(command, env=env or self.env(), stdout=stdout, stderr=stderr,
                                   stdin=subprocess.DEVNULL, cwd=cwd, preexec_fn=die_with_parent)
        self._children.append(process)
        return process

    def start_program(self, exe: Path, args: list[str] | None = None, **env: str) -> subprocess.Popen:
        """Starts the program under test (a Windows exe) with extra environment."""
        return self.spawn([str(exe)] + list(args or []), env=self.env(**env),
                          cwd=Path(exe).parent)

    def wine(self, argv: list[str], timeout: float = 30, check: bool = False) -> subprocess.CompletedProcess:
        """Runs a Windows program to completion (never from a folder holding
        an exe named like a Wine tool: wine would run that instead)."""
        # Output goes through files, not pipes: the Wine services that the
        # first program of a prefix starts inherit the pipes and would hold
        # them open long after the program itself has ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            process = subprocess.Popen(["wine"] + argv, env=self.env(), stdout=out, stderr=err,
                                       stdin=subprocess.DEVNULL, cwd=self.root, preexec_fn=die_with_parent)
            try:
                code = process.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(timeout=5)
                raise
            out.seek(0)
            err.seek(0)
            result = subprocess.CompletedProcess(process.args, code, out.read().decode(errors="replace"),
                                                 err.read().decode(errors="replace"))
        if check:
            result.check_returncode()
        return result

    def run_tool(self, argv: list[str], timeout: float = 15) -> subprocess.CompletedProcess:
        """Runs a Linux tool (xdotool, import, ...) against the session's display."""
        return subprocess.run(argv, env=self.env(), capture_output=True, text=True,
                              timeout=timeout, errors="replace")

    # ----------------------------------------------------------------- windows
    def probe(self, *args: str, timeout: float = 30) -> subprocess.CompletedProcess:
        """Runs pvprobe.exe (see tests/e2e/probe) in the prefix."""
        return self.wine([str(self.build_dir / "bin" / "pvprobe.exe"), *args], timeout=timeout)

    def wait_window(self, title: str, timeout_s: float = 10) -> bool:
        result = self.probe("wait", title, str(int(timeout_s * 1000)), timeout=timeout_s + 20)
        return result.returncode == 0

    def wait_visible(self, title: str, timeout_s: float = 10) -> bool:
        """Waits until the window with that title is visible; polls every 10 ms
        inside the prefix, so even a short appearance is seen."""
        result = self.probe("waitvisible", title, str(int(timeout_s * 1000)), timeout=timeout_s + 20)
        return result.returncode == 0

    def window_exists(self, title: str) -> bool:
        return self.probe("find", title).returncode == 0

    def close_window(self, title: str) -> bool:
        return self.probe("close", title).returncode == 0

    def top_level_windows(self) -> list["WindowInfo"]:
        """Every top-level window of the prefix's desktop, hidden ones too."""
        return _parse_window_lines(self.probe("list").stdout)

    def child_windows(self, title: str) -> list["WindowInfo"]:
        """The child windows (controls) of the window with that title; the
        first field is the control id."""
        return _parse_window_lines(self.probe("children", title).stdout)

    def window_rect(self, title: str) -> tuple[int, int, int, int] | None:
        result = self.probe("rect", title)
        if result.returncode != 0:
            return None
        left, top, right, bottom = (int(v) for v in result.stdout.split())
        return left, top, right, bottom

    def window_visible(self, title: str) -> bool:
        result = self.probe("visible", title)
        return result.returncode == 0 and result.stdout.strip() == "1"

    def xdotool(self, *args: str, timeout: float = 15) -> str:
        result = self.run_tool(["xdotool", *args], timeout=timeout)
        if result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    # ---------------------------------------------------------------- registry
    def reg_query(self, value_name: str, key: str = "HKCU") -> tuple[str, str] | None:
        """(type, data) of a registry value as `wine reg query` prints it, or None."""
        result = self.wine(["reg", "query", key, "/v", value_name], timeout=60)
        if result.returncode != 0:
            return None
        for line in result.stdout.splitlines():
            parts = [p for p in line.strip().split("    ") if p != ""]
            if len(parts) >= 2 and parts[0].strip().lower() == value_name.lower():
                return parts[1].strip(), (parts[2].strip() if len(parts) > 2 else "")
        return None

    def reg_dword(self, value_name: str, key: str = "HKCU") -> int | None:
        value = self.reg_query(value_name, key)
        if value is None or value[0] != "REG_DWORD":
            return None
        return int(value[1], 16)

    def reg_add(self, value_name: str, reg_type: str, data: str, key: str = "HKCU") -> None:
        self.wine(["reg", "add", key, "/v", value_name, "/t", reg_type, "/d", data, "/f"],
                  timeout=60, check=True)

    def reg_delete(self, value_name: str, key: str = "HKCU") -> None:
        self.wine(["reg", "delete", key, "/v", value_name, "/f"], timeout=60)

    # ------------------------------------------------------------- screenshots
    def screenshot(self, name: str) -> Path:
        path = self.artifacts / f"{name}.png"
        result = self.run_tool(["import", "-window", "root", str(path)], timeout=30)
        if result.returncode != 0:
            raise RuntimeError("screenshot failed: " + result.stderr.strip())
        return path

    @staticmethod
    def pixel(png: Path, x: int, y: int) -> tuple[int, int, int]:
        out = subprocess.run(["convert", str(png), "-format", f"%[pixel:p{{{x},{y}}}]", "info:"],
                             capture_output=True, text=True, timeout=30, check=True).stdout
        return _parse_colour(out)

    # ------------------------------------------------------------------ stop
    def stop(self) -> None:
        """Stops everything the session started, newest first, by PID."""
        if self._wineserver is not None and self.prefix.exists():
            try:
                subprocess.run(["wineserver", "-k"], env=self.env(), timeout=20,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            except subprocess.TimeoutExpired:
                pass
        for process in reversed(self._children + [p for p in (self._wineserver, self._xvfb) if p]):
            _terminate(process)
        self._children.clear()
        self._wineserver = None
        self._xvfb = None
        if self._watchdog is not None:
            _terminate(self._watchdog)
            self._watchdog = None
        shutil.rmtree(self.root, ignore_errors=True)


@dataclass(frozen=True)
class WindowInfo:
    handle: str  # or the control id, for child windows
    class_name: str
    text: str
    visible: bool
    rect: tuple[int, int, int, int]
    pid: int

    @property
    def size(self) -> tuple[int, int]:
        return self.rect[2] - self.rect[0], self.rect[3] - self.rect[1]


def _parse_window_lines(text: str) -> list[WindowInfo]:
    windows = []
    for line in text.splitlines():
        fields = line.rstrip("\r").split("|")
        if len(fields) != 6:
            continue
        rect = tuple(int(v) for v in fields[4].split())
        windows.append(WindowInfo(fields[0], fields[1], fields[2], fields[3] == "1", rect, int(fields[5])))
    return windows


def _terminate(process: subprocess.Popen) -> None:
    if process.poll() is not None:
        return
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=5)


def _read_line_with_timeout(fd: int, timeout: float) -> str:
    deadline = time.monotonic() + timeout
    data = b""
    os.set_blocking(fd, False)
    while time.monotonic() < deadline and not data.endswith(b"\n"):
        try:
            chunk = os.read(fd, 64)
            if chunk == b"":
                break
            data += chunk
        except BlockingIOError:
            time.sleep(0.05)
    return data.decode(errors="replace")


def _parse_colour(text: str) -> tuple[int, int, int]:
    inside = text[text.index("(") + 1:text.index(")")]
    values = [v.strip() for v in inside.split(",")][:3]
    return tuple(int(round(float(v.rstrip("%")) * (2.55 if v.endswith("%") else 1))) for v in values)


__all__ = ["WindowInfo", "WineSession"]
