"""Helpers of the link's end-to-end tests: the simulated receiver from
tools/receiver-sim and a program run pointed at it."""
from __future__ import annotations

import os
import subprocess
import sys
import time
from pathlib import Path

SIM_DIR = Path(__file__).resolve().parents[3] / "tools" / "receiver-sim"
if str(SIM_DIR) not in sys.path:
    sys.path.insert(0, str(SIM_DIR))

import receiver_sim  # noqa: E402

TITLE = "KORVEL_PRESENTER"
WM_COMMAND = 0x0111
IDM_TRAY_QUIT = 32774  # the tray menu's "Quit"
LAST_SCENE = r"SOFTWARE\Korvel\PresenterVela\LastScene"
# The program waits this long after a receiver matches before greeting it.
SETTLE_S = 2.0


def start_with_simulator(session, exe: Path, simulator: "receiver_sim.Simulator") -> subprocess.Popen:
    return session.start_program(exe, PRESENTER_VELA_RECEIVER=simulator.variable())


def connect(simulator: "receiver_sim.Simulator", timeout: float = 30):
    """Accepts the program's connection and returns (connection, chosen index)."""
    connection = simulator.accept(timeout=timeout)
    return connection, connection.chosen(timeout=10)


def quit_program(session, program: subprocess.Popen, timeout: float = 10) -> tuple[int, float]:
    """Quits through the tray menu's command (closing the window only hides
    it); returns (exit code, seconds until the process ended)."""
    start = time.monotonic()
    if session.probe("post", TITLE, str(WM_COMMAND), str(IDM_TRAY_QUIT)).returncode != 0:
        program.kill()
        raise AssertionError("the program's window could not be found to quit it")
    code = program.wait(timeout=timeout)
    return code, time.monotonic() - start


def stop_if_running(program: subprocess.Popen) -> None:
    if program.poll() is None:
        program.kill()
        program.wait(timeout=10)


def process_cpu_seconds(pid: int) -> dict[int, float]:
    """CPU seconds (user + system) of each thread of a process, by thread id."""
    ticks = os.sysconf("SC_CLK_TCK")
    result: dict[int, float] = {}
    task_dir = Path(f"/proc/{pid}/task")
    for task in task_dir.iterdir():
        try:
            fields = (task / "stat").read_text().rsplit(")", 1)[1].split()
        except OSError:
            continue
        result[int(task.name)] = (int(fields[11]) + int(fields[12])) / ticks
    return result


def find_program_pid(prefix: Path, name: str = "PresenterVela.exe") -> int | None:
    """The Wine process running the program in this session's prefix (other
    sessions may run the program at the same time)."""
    wanted = f"WINEPREFIX={prefix}".encode()
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            cmdline = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
            environment = (entry / "environ").read_bytes().split(b"\0")
        except OSError:
            continue
        if name in cmdline and "wineserver" not in cmdline and wanted in environment:
            return int(entry.name)
    return None
