"""A display with two real monitors for the end-to-end tests.

Xvfb has one screen and no RandR outputs, so Wine sees one monitor there.
Xorg with the dummy video driver has RandR outputs: with two of them enabled
Wine reports two monitors, makes the RandR primary its primary at (0, 0) and
places the other one at negative coordinates when it lies left of or above
the primary, as a projector often does on Windows.

The outputs are DUMMY0 (the primary) and DUMMY1 (the second monitor). The
layout can change while the program runs (`TwoMonitors.place_second`,
`TwoMonitors.remove_second`), which Wine reports as WM_DISPLAYCHANGE.
"""
from __future__ import annotations

import os
import re
import shutil
import subprocess
import time
import unittest
from dataclasses import dataclass
from pathlib import Path

from .pdeathsig import die_with_parent

XORG_DRIVER = Path("/usr/lib/xorg/modules/drivers/dummy_drv.so")
PRIMARY_OUTPUT = "DUMMY0"
SECOND_OUTPUT = "DUMMY1"
PLACEMENTS = {"left-of": "LeftOf", "above": "Above"}


@dataclass(frozen=True)
class TwoMonitors:
    """The layout an Xorg session starts with: a primary and a second monitor
    placed left of or above it (top or left edges aligned)."""
    placement: str = "left-of"
    primary: tuple[int, int] = (1024, 768)
    second: tuple[int, int] = (800, 600)

    def __post_init__(self):
        if self.placement not in PLACEMENTS:
            raise ValueError(f"placement must be one of {sorted(PLACEMENTS)}")

    @staticmethod
    def mode_name(size: tuple[int, int]) -> str:
        return f"pv{size[0]}x{size[1]}"

    def config(self) -> str:
        """The Xorg configuration: one dummy device, one monitor section per
        output with a mode of its own size, the second placed by RandR."""
        monitors = "".join(
            _monitor_section(name, size, options)
            for name, size, options in (
                ("primary", self.primary, ['"Primary" "true"']),
                ("second", self.second, ['"Enable" "true"',
                                         f'"{PLACEMENTS[self.placement]}" "{PRIMARY_OUTPUT}"']),
            ))
        return f"""Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
  Option "Monitor-{PRIMARY_OUTPUT}" "primary"
  Option "Monitor-{SECOND_OUTPUT}" "second"
EndSection
{monitors}Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "primary"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 2048
  EndSubSection
EndSection
"""


def _modeline(name: str, size: tuple[int, int]) -> str:
    """A 60 Hz-like mode of any size (the dummy driver takes any timing)."""
    width, height = size
    h = (width, width + 32, width + 96, width + 160)
    v = (height, height + 3, height + 7, height + 30)
    clock = h[3] * v[3] * 60 / 1e6
    return (f'  Modeline "{name}" {clock:.2f} {h[0]} {h[1]} {h[2]} {h[3]} '
            f'{v[0]} {v[1]} {v[2]} {v[3]} -hsync +vsync\n')


def _monitor_section(identifier: str, size: tuple[int, int], options: list[str]) -> str:
    name = TwoMonitors.mode_name(size)
    lines = [f'Section "Monitor"\n', f'  Identifier "{identifier}"\n',
             "  HorizSync 5.0-1000.0\n", "  VertRefresh 5.0-200.0\n", _modeline(name, size),
             f'  Option "PreferredMode" "{name}"\n']
    lines += [f"  Option {option}\n" for option in options]
    lines.append("EndSection\n")
    return "".join(lines)


def available() -> str | None:
    """Why a two-monitor display cannot start here, or None when it can."""
    if shutil.which("Xorg") is None or not XORG_DRIVER.exists():
        return "needs xserver-xorg-core and xserver-xorg-video-dummy (scripts/setup.sh installs them)"
    if shutil.which("xrandr") is None:
        return "needs xrandr (x11-xserver-utils)"
    if os.geteuid() != 0:
        return "Xorg takes a configuration file by absolute path only when run as root"
    return None


def start_xorg(layout: TwoMonitors, folder: Path, read_line) -> tuple[subprocess.Popen, str]:
    """Starts Xorg with the layout on a free display (it picks the number and
    writes it to a pipe, so concurrent servers never collide); returns the
    server and its display name once it answers."""
    reason = available()
    if reason:
        raise unittest.SkipTest(reason)
    folder.mkdir(parents=True, exist_ok=True)
    config = folder / "xorg-two-monitors.conf"
    config.write_text(layout.config())
    read_fd, write_fd = os.pipe()
    # As root Xorg would take a virtual terminal: -sharevts -novtswitch keep it
    # on the current one without switching.
    server = subprocess.Popen(
        ["Xorg", "-displayfd", str(write_fd), "-config", str(config.resolve()), "-noreset",
         "-nolisten", "tcp", "-novtswitch", "-sharevts", "-logfile", str((folder / "xorg.log").resolve())],
        pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL, preexec_fn=die_with_parent)
    os.close(write_fd)
    number = read_line(read_fd, 15.0)
    os.close(read_fd)
    if not number.strip():
        server.kill()
        server.wait(timeout=5)
        raise RuntimeError(f"Xorg did not report a display within 15 s; see {folder / 'xorg.log'}")
    return server, ":" + number.strip()


@dataclass(frozen=True)
class Output:
    name: str
    rect: tuple[int, int, int, int]  # left, top, right, bottom in root pixels
    primary: bool


class MonitorControl:
    """The monitors of a running two-monitor display, read and changed with xrandr."""

    def __init__(self, display: str, layout: TwoMonitors):
        self.display = display
        self.layout = layout

    def _xrandr(self, *args: str) -> str:
        result = subprocess.run(["xrandr", *args], env=dict(os.environ, DISPLAY=self.display),
                                capture_output=True, text=True, timeout=15)
        if result.returncode != 0:
            raise RuntimeError(f"xrandr {' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def outputs(self) -> list[Output]:
        """The enabled outputs with their rectangles in root pixels."""
        found = []
        for line in self._xrandr("--query").splitlines():
            match = re.match(r"(\S+) connected (primary )?(\d+)x(\d+)\+(\d+)\+(\d+)", line)
            if match:
                w, h, x, y = (int(v) for v in match.group(3, 4, 5, 6))
                found.append(Output(match.group(1), (x, y, x + w, y + h), bool(match.group(2))))
        return found

    def output(self, name: str) -> Output | None:
        return next((o for o in self.outputs() if o.name == name), None)

    def wait_outputs(self, count: int, timeout: float = 10) -> list[Output]:
        deadline = time.monotonic() + timeout
        while True:
            outputs = self.outputs()
            if len(outputs) == count or time.monotonic() > deadline:
                return outputs
            time.sleep(0.05)

    def place_second(self, placement: str) -> None:
        """Turns the second monitor on (again) left of or above the primary."""
        flag = {"left-of": "--left-of", "above": "--above"}[placement]
        self._xrandr("--output", SECOND_OUTPUT, "--mode", TwoMonitors.mode_name(self.layout.second),
                     flag, PRIMARY_OUTPUT)

    def remove_second(self) -> None:
        """Unplugs the second monitor; the primary goes back to the root's
        top-left corner and the root shrinks to it."""
        self._xrandr("--output", SECOND_OUTPUT, "--off", "--output", PRIMARY_OUTPUT, "--pos", "0x0")


__all__ = ["MonitorControl", "Output", "TwoMonitors", "available", "start_xorg"]
