"""The receiver pulled out and plugged in again, ten times in a row, with the
real program under Wine: the simulated receiver goes away (its connection
closes and nobody answers) and comes back on the same port. The tray tooltip
follows each time, and what the program holds stays flat. Under Wine the
handle count of another process cannot be read (it answers 0), so the
program's Unix file descriptors (Wine keeps one for each open socket and
file handle) and threads stand in for it, with the Windows handle count
where the platform gives it."""
import sys
import time
import unittest
from pathlib import Path

import harness

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "app"))
from linkharness import find_program_pid  # noqa: E402
from shell_helpers import (TITLE, RemoteKeepAlive, free_port, quit_by_command, receiver_sim,  # noqa: E402
                           tray_tooltip, wait_until)

CYCLES = 10
LINKED = "Presenter Vela"
NO_DONGLE = "Presenter Vela\\n(No Dongle)"
# Handles a reconnection may legitimately leave (a cached socket helper and
# the like) before a leak shows.
HANDLE_SLACK = 4


def held(session, pid: int) -> dict[str, int]:
    """What the program holds: Unix descriptors, threads and, where the
    platform can count them, Windows handles."""
    figures = {"fds": len(list(Path(f"/proc/{pid}/fd").iterdir())),
               "threads": len(list(Path(f"/proc/{pid}/task").iterdir()))}
    words = session.probe("handles", TITLE).stdout.split()
    if words and words[0].isdigit():
        figures["handles"] = int(words[0])
    return figures


class ReceiverUnpluggedAndBack(unittest.TestCase):
    def test_ten_unplug_and_replug_cycles_with_the_tooltip_following(self):
        ctx = harness.context()
        port = free_port()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "link-replug") as session:
            program = session.start_program(ctx.exe, PRESENTER_VELA_RECEIVER=f"tcp:127.0.0.1:{port}")
            self.assertTrue(session.wait_window(TITLE, 40))
            pid = find_program_pid(session.prefix)
            self.assertIsNotNone(pid, "the program's process was not found")
            counts = []
            for cycle in range(CYCLES):
                with receiver_sim.Simulator(port=port) as simulator:
                    remote = RemoteKeepAlive(simulator).start()
                    plugged = time.monotonic()
                    self.assertTrue(wait_until(lambda: tray_tooltip(session, 2) == LINKED, 30),
                                    f"cycle {cycle}: the tray never showed the remote linked")
                    print(f"cycle {cycle}: linked {time.monotonic() - plugged:.1f} s after plugging in")
                    remote.stop()
                # Unplugged: the connection is closed and nothing listens.
                unplugged = time.monotonic()
                self.assertTrue(wait_until(lambda: tray_tooltip(session, 2) == NO_DONGLE, 20),
                                f"cycle {cycle}: the tray never showed the receiver gone")
                print(f"cycle {cycle}: 'No Dongle' {time.monotonic() - unplugged:.1f} s after unplugging")
                counts.append(held(session, pid))
            print("held after each cycle:", counts)
            self.assertIsNone(program.poll(), "the program ended")
            for name in counts[0]:
                series = [c[name] for c in counts]
                self.assertGreater(series[0], 0, name)
                self.assertLessEqual(max(series[1:]), series[0] + HANDLE_SLACK, f"{name} grow: {series}")
            self.assertTrue(quit_by_command(session))
            self.assertEqual(program.wait(timeout=10), 0)


if __name__ == "__main__":
    harness.main()
