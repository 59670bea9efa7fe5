"""The real program under Wine against the simulated receiver: discovery,
the hello, answers to state requests, scene persistence, reconnection,
refusal of unsuitable interfaces and the bounded exit."""
import time
import unittest

import harness
from linkharness import (LAST_SCENE, SETTLE_S, TITLE, connect, quit_program, receiver_sim,
                         start_with_simulator, stop_if_running)

sim = receiver_sim


class LinkWithSimulator(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        ctx = harness.context()
        cls.exe = ctx.exe
        cls.session = harness.WineSession(ctx.build_dir, ctx.artifacts, "link-sim", compositor=False)
        cls.session.__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.session.__exit__(None, None, None)

    def run_program(self, simulator):
        program = start_with_simulator(self.session, self.exe, simulator)
        self.addCleanup(stop_if_running, program)
        self.addCleanup(simulator.close)
        return program

    def assert_valid_answer(self, raw, length=9):
        self.assertEqual(len(raw), length, raw.hex(" "))
        report = sim.decode_output(raw)
        self.assertTrue(report.valid, report.problems)
        self.assertEqual(report.marker, 0x5A)
        self.assertEqual(raw[7], (~raw[6]) & 0xFF, "byte 7 is NOT K, byte 6 is K")
        return report

    def test_hello_state_answers_scene_persistence_and_exit(self):
        self.session.reg_add(LAST_SCENE, "REG_DWORD", "2")
        simulator = sim.Simulator([sim.RECEIVER])
        program = self.run_program(simulator)
        connection, chosen = connect(simulator)
        chosen_at = time.monotonic()
        self.assertEqual(chosen, 0)
        hello = connection.next_output(timeout=SETTLE_S + 5)
        self.assertGreater(time.monotonic() - chosen_at, SETTLE_S - 0.3, "hello before the settle delay")
        self.assertEqual(hello, bytes([0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0]))
        self.assertTrue(self.session.wait_window(TITLE, timeout_s=20))
        time.sleep(0.3)  # past the 200 ms arming window of the main window

        connection.send(sim.state_request())
        answer = self.assert_valid_answer(connection.next_output(timeout=2))
        self.assertEqual((answer.scene, answer.pointer_speed, answer.latched, answer.minutes), (2, 50, False, 0))

        connection.send(sim.key_status(sim.ST_SCENE_KEY, bad_checksum=True))
        connection.send(sim.key_status(sim.ST_SCENE_KEY))
        connection.send(sim.key_status(0))
        connection.send(sim.state_request())
        self.assertEqual(self.assert_valid_answer(connection.next_output(timeout=2)).scene, 0,
                         "one scene step (2 -> 0): the bad report is ignored")
        self.assertEqual(self.session.reg_dword(LAST_SCENE), 0, "scene written to LastScene")

        code, seconds = quit_program(self.session, program)
        print(f"exit took {seconds:.2f} s")
        self.assertEqual(code, 0)
        self.assertLess(seconds, 6.5)
        self.assertTrue(connection.wait_closed(1))

    def test_picks_first_suitable_interface_among_several(self):
        oversized = sim.Interface(sim.VENDOR_ID, sim.PRODUCT_ID, 0xFF00, 0x0001, 32, 9)
        other_collection = sim.Interface(sim.VENDOR_ID, sim.PRODUCT_ID, 0x000C, 0x0001, 10, 9)
        largest = sim.Interface(sim.VENDOR_ID, sim.PRODUCT_ID, 0xFF00, 0x0001, 20, 24)
        simulator = sim.Simulator([sim.WINE_MOUSE, oversized, other_collection, largest, sim.RECEIVER])
        program = self.run_program(simulator)
        connection, chosen = connect(simulator)
        self.assertEqual(chosen, 3)
        self.assertEqual(connection.next_output(timeout=SETTLE_S + 5), bytes([0xFF] * 3 + [0] * 21))
        connection.send(sim.state_request(length=20))
        self.assert_valid_answer(connection.next_output(timeout=2), length=24)
        stop_if_running(program)

    def test_refuses_oversized_input_report_and_retries(self):
        oversized = sim.Interface(sim.VENDOR_ID, sim.PRODUCT_ID, 0xFF00, 0x0001, 32, 9)
        simulator = sim.Simulator([oversized])
        program = self.run_program(simulator)
        first, chosen = connect(simulator)
        self.assertIsNone(chosen, "the connection is closed without a choice")
        refused_at = time.monotonic()
        second, chosen = connect(simulator, timeout=5)
        self.assertIsNone(chosen)
        self.assertLess(time.monotonic() - refused_at, 2.0, "next attempt about 200 ms later")
        stop_if_running(program)

    def test_reconnects_after_three_seconds_of_silence(self):
        simulator = sim.Simulator([sim.RECEIVER])
        program = self.run_program(simulator)
        connection, _ = connect(simulator)
        connection.next_output(timeout=SETTLE_S + 5)  # hello
        connection.send(sim.key_status(0))
        last_report = time.monotonic()
        self.assertTrue(connection.wait_closed(6), "silence closes the receiver")
        silent = time.monotonic() - last_report
        print(f"connection closed after {silent:.2f} s of silence")
        self.assertGreater(silent, 2.5)
        again, chosen = connect(simulator, timeout=5)
        self.assertEqual(chosen, 0)
        self.assertTrue(sim.is_hello(again.next_output(timeout=SETTLE_S + 5)))
        stop_if_running(program)

    def test_stop_request_during_read_wait_ends_it_at_once(self):
        simulator = sim.Simulator([sim.RECEIVER])
        program = self.run_program(simulator)
        connection, _ = connect(simulator)
        connection.next_output(timeout=SETTLE_S + 5)
        self.assertTrue(self.session.wait_window(TITLE, timeout_s=20))
        connection.send(sim.state_request())
        connection.next_output(timeout=2)  # the worker now sits in its next read wait
        code, seconds = quit_program(self.session, program)
        print(f"exit during a read wait took {seconds:.2f} s")
        self.assertEqual(code, 0)
        self.assertLess(seconds, 5.0, "the stop wakes the worker out of its read wait")
        self.assertTrue(connection.wait_closed(1), "the worker closed the receiver")

    def test_quit_during_the_settle_delay_ends_in_time(self):
        simulator = sim.Simulator([sim.RECEIVER])
        program = self.run_program(simulator)
        self.assertTrue(self.session.wait_window(TITLE, timeout_s=30))
        # The window is up: the next connection the program makes starts a
        # settle delay. Drop the first one so a fresh settle delay begins now.
        connection, _ = connect(simulator)
        connection.next_output(timeout=SETTLE_S + 5)  # hello
        connection.close()
        again, chosen = connect(simulator, timeout=10)
        self.assertEqual(chosen, 0)
        code, seconds = quit_program(self.session, program)
        print(f"exit during the settle delay took {seconds:.2f} s")
        self.assertEqual(code, 0)
        self.assertLess(seconds, 5.0)
        self.assertTrue(again.wait_closed(2), "the worker closed the receiver")
        with self.assertRaises(Exception):
            again.next_output(timeout=0.5)  # no hello after the stop request


if __name__ == "__main__":
    harness.main()
