"""The simulator's own codec against the published report vectors (no Wine)."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[3] / "tools" / "receiver-sim"))
import receiver_sim as sim  # noqa: E402


class SimulatorCodec(unittest.TestCase):
    def test_input_vectors(self):
        cases = [
            (sim.key_status(0x03, carrier=0xED), "0031e2d1ed21212121c5"),
            (sim.state_request(carrier=0x3A), "00f95c5c3a5c5c5c5c5d"),
            (sim.black_screen(carrier=0xC6), "00359393c6939293 93a9".replace(" ", "")),
            (sim.state_request(carrier=0xFF), "00a50000ff00000000a5"),
        ]
        for report, expected in cases:
            self.assertEqual(report.hex(), expected)

    def test_bad_checksum_always_differs(self):
        for carrier in range(256):
            good = sim.key_status(0x01, carrier=carrier)
            bad = sim.key_status(0x01, carrier=carrier, bad_checksum=True)
            self.assertEqual(good[:9], bad[:9])
            self.assertNotEqual(good[9], bad[9])

    def test_output_vector_and_validation(self):
        report = sim.decode_output(bytes.fromhex("006d36363b0537c8ad"))
        self.assertTrue(report.valid, report.problems)
        self.assertEqual((report.scene, report.timer_running, report.minutes, report.pointer_speed, report.key),
                         (1, True, 12, 50, 0x37))
        self.assertEqual(sim.decode_output(bytes.fromhex("006d36363b0537c8ae")).problems, ["checksum"])
        self.assertIn("byte 6 0x36 is not the key 0x37",
                      sim.decode_output(bytes.fromhex("006d36363b0536c8ad")).problems)
        unmasked = sim.decode_output(bytes.fromhex("005a01010c3200ff9a"))
        self.assertTrue(unmasked.valid, unmasked.problems)

    def test_hello(self):
        self.assertTrue(sim.is_hello(bytes([0xFF, 0xFF, 0xFF] + [0] * 6)))
        self.assertFalse(sim.is_hello(bytes.fromhex("006d36363b0537c8ad")))

    def test_interface_record(self):
        self.assertEqual(sim.RECEIVER.pack().hex(), "450c018100ff01000a09")
        self.assertEqual(sim.parse_interface("0c45:8101:ff00:1:14:18"),
                         sim.Interface(0x0C45, 0x8101, 0xFF00, 1, 20, 24))


if __name__ == "__main__":
    unittest.main()
