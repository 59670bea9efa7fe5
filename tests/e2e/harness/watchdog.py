"""Ends what a Wine session left running once the test process is gone.

    python3 watchdog.py <test-pid> <wine-prefix>

Started by WineSession in a session of its own, so it outlives a test
process that is killed. When that process has gone, every process whose
environment names the session's prefix (the Wine services, the desktop
process, the program under test) is killed by PID, and the prefix removed.
"""
import os
import shutil
import signal
import sys
import time
from pathlib import Path


def processes_of_prefix(prefix: str) -> list[int]:
    marker = f"WINEPREFIX={prefix}".encode()
    found = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit() or int(entry.name) == os.getpid():
            continue
        try:
            environment = (entry / "environ").read_bytes().split(b"\0")
        except OSError:
            continue
        if marker in environment:
            found.append(int(entry.name))
    return found


def kill_all(pids: list[int]) -> None:
    for pid in pids:
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass


def main() -> int:
    owner, prefix = int(sys.argv[1]), sys.argv[2]
    while True:
        try:
            os.kill(owner, 0)
        except ProcessLookupError:
            break
        time.sleep(0.5)
    for _ in range(3):  # services may still be starting one another
        kill_all(processes_of_prefix(prefix))
        time.sleep(0.5)
    shutil.rmtree(Path(prefix).parent, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
