"""The program starts under Wine, owns a top-level window titled
KORVEL_PRESENTER, and ends cleanly on the tray menu's Quit command; closing
the window (Escape, WM_CLOSE) only puts it into the tray."""
import time
import unittest

import harness
from shell_helpers import TITLE, quit_by_command, wait_until


class StartAndQuit(unittest.TestCase):
    def test_close_hides_and_quit_ends_the_process_with_exit_code_0(self):
        ctx = harness.context()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "start-and-quit") as session:
            program = session.start_program(ctx.exe)
            self.assertTrue(session.wait_window(TITLE, timeout_s=20),
                            "no top-level window titled KORVEL_PRESENTER within 20 s")
            session.screenshot("started")

            self.assertTrue(session.close_window(TITLE))
            time.sleep(1.0)
            self.assertIsNone(program.poll(), "closing the window must not end the program")
            self.assertTrue(session.window_exists(TITLE))

            self.assertTrue(quit_by_command(session))
            start = time.monotonic()
            exit_code = program.wait(timeout=5)
            print(f"process ended {time.monotonic() - start:.2f} s after Quit")
            self.assertEqual(exit_code, 0)
            self.assertTrue(wait_until(lambda: not session.window_exists(TITLE), 5))


if __name__ == "__main__":
    harness.main()
