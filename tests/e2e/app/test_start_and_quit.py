"""The program starts under Wine, owns a top-level window titled
KORVEL_PRESENTER, and ends cleanly when that window is closed."""
import time
import unittest

import harness

TITLE = "KORVEL_PRESENTER"


class StartAndQuit(unittest.TestCase):
    def test_window_appears_and_close_ends_process_with_exit_code_0(self):
        ctx = harness.context()
        with harness.WineSession(ctx.build_dir, ctx.artifacts, "start-and-quit") as session:
            program = session.start_program(ctx.exe)
            self.assertTrue(session.wait_window(TITLE, timeout_s=20),
                            "no top-level window titled KORVEL_PRESENTER within 20 s")
            session.screenshot("started")
            self.assertTrue(session.close_window(TITLE))
            start = time.monotonic()
            exit_code = program.wait(timeout=5)
            print(f"process ended {time.monotonic() - start:.2f} s after WM_CLOSE")
            self.assertEqual(exit_code, 0)
            self.assertFalse(session.window_exists(TITLE))


if __name__ == "__main__":
    harness.main()
