"""The receiver pulled out and plugged in again, ten times in a row, with the
real program under Wine: the simulated receiver goes away (its connection
closes and nobody answers) and comes back on the same port. The tray tooltip
follows each time, and the program's handle count stays flat."""
import sys
import time
import unittest
from pathlib import Path

import harness

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "app"))
from shell_helpers import (TITLE, RemoteKeepAlive, free_port, quit_by_command, receiver_sim,  # noqa: E402
                           tray_tooltip, wait_until)

CYCLES = 10
LINKED = "Presenter Vela"
NO_DONGLE = "Presenter Vela\\n(No Dongle)"
# Handles a reconnection may legitimately leave (a cached socket helper and
# the like) before a leak shows.
HANDLE_SLACK = 4


def handle_count(session) -> int | None:
    result = session.probe("handles", TITLE)
    return int(result.stdout.split()[0]) if result.returncode == 0 and result.stdout.split() else None


class ReceiverUnpluggedAndBack(unittest.TestCase):
    def test_ten_unplug_and_replug_cycles_with_the_tooltip_following(self):
        ctx = harness.context()
        port = free_port()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "link-replug") as session:
            program = session.start_program(ctx.exe, PRESENTER_VELA_RECEIVER=f"tcp:127.0.0.1:{port}")
            self.assertTrue(session.wait_window(TITLE, 40))
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
                counts.append(handle_count(session))
            print("handle counts after each cycle:", counts)
            self.assertIsNone(program.poll(), "the program ended")
            if counts[0] is not None:
                self.assertLessEqual(max(counts[1:]), counts[0] + HANDLE_SLACK, counts)
            else:
                self.fail("the program's handle count could not be read")
            self.assertTrue(quit_by_command(session))
            self.assertEqual(program.wait(timeout=10), 0)


if __name__ == "__main__":
    harness.main()
