#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz targets into corpus/<target>/.

The targets read their inputs with libFuzzer's FuzzedDataProvider: byte
strings from the front, numbers from the back (the last byte first, most
significant first). Seed builds both ends in that order. Inputs that once
made a target fail are kept next to these as crash-*/regression-* files;
this script leaves them alone.

    /usr/bin/python3 tests/fuzz/make_seeds.py
"""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent


class Seed:
    def __init__(self):
        self.front = bytearray()
        self.back = []  # in the order the target consumes them

    def data(self, payload):
        self.front += payload
        return self

    def number(self, value, width=1):
        self.back += list(value.to_bytes(width, "big"))
        return self

    def bytes(self):
        return bytes(self.front) + bytes(reversed(self.back))


# ---- input reports (the receiver's wire format)

def masked_input(command, low, high, carrier, byte6=0, length=10):
    inverted = ~carrier & 0xFF
    key = ((inverted << 4) | (inverted >> 4)) & 0xFF
    plain = [0] * length
    plain[1], plain[2], plain[3], plain[6] = command, low, high, byte6
    plain[9] = (key + sum(plain[i] for i in (1, 2, 3, 5, 6, 7, 8))) & 0xFF
    wire = list(plain)
    for i in (1, 2, 3, 5, 6, 7, 8, 9):
        wire[i] = plain[i] ^ key
    wire[4] = carrier
    return bytes(wire)


def status(bits, carrier=0x6B, length=10):
    low, high = bits & 0x0F, bits >> 4
    return masked_input(0x10, low | ((~low & 0x0F) << 4), high | ((~high & 0x0F) << 4), carrier, 0, length)


def state_request(carrier=0x3A, length=10):
    return masked_input(0xA5, 0, 0, carrier, 0, length)


def black_screen(carrier=0xC6, length=10):
    return masked_input(0xA6, 0, 0, carrier, 0x01, length)


REPORT = 0x00  # any operation byte below 0xA0 reads one report
TIMEOUT, FAILED, BLACK_TOGGLE, LATCHED, RESEND, TIMER, ADVANCE, SPEED, FAIL_WRITES, PASS = (
    0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xB5, 0xA6, 0xA7, 0xA8, 0xA9)


def link_events(steps, in_length=10, out_length=9, scene=0):
    """steps: report bytes, or (operation, [numbers...]) for the other steps."""
    seed = Seed().number(in_length - 10).number(out_length - 9).number(scene)
    for step in steps:
        if isinstance(step, bytes):
            seed.number(REPORT).data(step)
        else:
            operation, numbers = step
            seed.number(operation)
            for value, width in numbers:
                seed.number(value, width)
    return seed.bytes()


def link_seeds():
    E, S, L, B, A, U, D = 0x01, 0x02, 0x08, 0x10, 0x20, 0x40, 0x80
    yield "press_release", link_events([status(E), status(0), status(E), status(E), status(0)])
    yield "scene_steps", link_events([status(S), status(0), status(S), status(0), status(S), status(E)], scene=2)
    yield "latch", link_events([status(E), status(E | L), status(0), (LATCHED, []), status(E), status(0)])
    yield "sizes_battery", link_events([status(U), status(0), status(D), status(B), status(B | E), status(0)])
    yield "state_requests", link_events([state_request(), state_request(0x00), state_request(0xFF)], 20, 24)
    yield "black_screen", link_events([status(E), black_screen(), (BLACK_TOGGLE, []), status(E),
                                       (BLACK_TOGGLE, []), status(0)])
    yield "timer_alert", link_events([(TIMER, [(90, 3)]), (ADVANCE, [(1000, 2)]), (TIMEOUT, []),
                                      state_request(), status(A), status(0)])
    yield "radio_loss", link_events([status(E), (TIMEOUT, []), status(E), (FAILED, []), status(0),
                                     (FAIL_WRITES, []), state_request(), (FAIL_WRITES, [])], 16, 12)
    yield "resend_speed", link_events([(SPEED, [(75, 1)]), (RESEND, []), status(E | L), (RESEND, []),
                                       state_request()])
    yield "rejected", link_events([status(E)[:9] + b"\x00", masked_input(0xA6, 0, 0, 0x11),
                                   masked_input(0x10, 0x11, 0xF0, 0x22)])


# ---- the simulated receiver's stream

def frame(payload):
    return struct.pack("<H", len(payload)) + payload


def interface(vendor=0x0C45, product=0x8101, page=0xFF00, usage=0x0001, in_length=10, out_length=9):
    return struct.pack("<HHHHBB", vendor, product, page, usage, in_length, out_length)


def sim_stream(stream, chunk_seed=0x1234, unreadable=0):
    return Seed().number(chunk_seed, 4).number(unreadable, 4).data(stream).bytes()


def sim_seeds():
    receiver = interface()
    yield "receiver_only", sim_stream(frame(receiver) + frame(state_request()))
    yield "keyboard_first", sim_stream(frame(interface(page=0x0001, usage=0x0006) + receiver) + frame(status(1)))
    yield "other_device", sim_stream(frame(interface(vendor=0x046D, product=0xC52B) + receiver))
    yield "long_reports", sim_stream(frame(interface(in_length=64, out_length=64) + interface(in_length=20,
                                                                                             out_length=24)))
    yield "caps_unreadable", sim_stream(frame(receiver + receiver), unreadable=1)
    yield "split_frames", sim_stream(frame(receiver) + frame(b"") + frame(status(3)) + b"\x05\x00ab", 7)
    yield "bad_list", sim_stream(frame(receiver[:7]))
    # Page 0xFEFF, usage 0x0101: page * 256 + usage is 0xFF0001 too, but it is
    # another collection and must be passed over.
    yield "page_times_256_alias", sim_stream(frame(interface(page=0xFEFF, usage=0x0101) + receiver))


# ---- stored settings

MISSING, TOO_LARGE, ERROR, DATA, CLAIMS_MORE = range(5)


def settings(values, screen=1080, fail_writes=False, any_id=14):
    """values: per setting (ids 1..18) an outcome, or (DATA, size, bytes)."""
    seed = Seed().number(0).number(screen, 2).number(int(fail_writes))
    for value in values:
        if isinstance(value, tuple):
            outcome, size, data = value
            seed.number(outcome)
            seed.number(size, 4 if outcome == CLAIMS_MORE else 1)
            for byte in data.ljust(4, b"\0"):
                seed.number(byte)
        else:
            seed.number(value)
    return seed.number(any_id & 0xFFFFFFFF, 4).bytes()


def dword(value):
    return (DATA, 4, struct.pack("<I", value))


def settings_seeds():
    yield "all_missing", settings([MISSING] * 18)
    yield "all_in_range", settings([dword(v) for v in
                                    (0, 0, 0, 1, 80, 500, 500, 150, 1, 0, 2400, 0, 0, 1, 0, 1, 50, 120)])
    yield "out_of_range", settings([dword(0xFFFFFFFF)] * 18, screen=768)
    yield "short_values", settings([(DATA, n % 5, b"\x7f\x80\xff\x01") for n in range(18)])
    yield "odd_outcomes", settings([TOO_LARGE, ERROR, (CLAIMS_MORE, 9, b"abcd")] * 6, fail_writes=True)
    yield "tiny_screen", settings([dword(40)] * 18, screen=60, any_id=-3)


# ---- device paths and endpoints

def device_seeds():
    guid = "{4d1e55b2-f16f-11cf-88cb-001111000030}"
    yield "receiver_path", ("\\\\?\\hid#vid_0c45&pid_8101&mi_01#7&2a1b&0&0000#" + guid).encode("utf-16-le")
    yield "mouse_path", ("\\\\?\\hid#vid_046d&pid_c52b#" + guid).encode("utf-16-le")
    yield "marker_at_start", ("VID_0C45PID_8101" + guid.upper()).encode("utf-16-le")
    yield "endpoint", b"tcp:127.0.0.1:5555"
    yield "endpoint_localhost", b"tcp:localhost:80"
    yield "endpoint_not_loopback", b"tcp:10.0.0.1:80"


# ---- update.ini

def update_ini(body, chunk_seed=7, length_mode=1, fail_at=None, our_version_is_old=True):
    seed = Seed().number(chunk_seed, 4).number(length_mode)
    seed.number(1 if fail_at is not None else 0)
    if fail_at is not None:
        seed.number(fail_at, 2)
    return seed.number(int(our_version_is_old)).data(body).bytes()


def update_seeds():
    yield "newer", update_ini(b"[Update]\r\nVersion=1.0.0.10\r\nUrl=x\r\n")
    yield "same", update_ini(b"Version=1.0.0.1")
    yield "older_lf_only", update_ini(b"Version=0.9.9.9\nNext=1", length_mode=0)
    yield "garbage_version", update_ini(b"Version=1.0.0.x\r\n", length_mode=2)
    yield "too_big_numbers", update_ini(b"Version=65536.0.0.0\r\n", length_mode=3)
    yield "long_body", update_ini(b"x" * 190 + b"Version=2.0.0.0\r\n" + b"y" * 100)
    yield "read_error", update_ini(b"Version=1.2.3.4\r\n", fail_at=5)
    yield "redirect_like", update_ini(b"https://update.presentervela.com/Presenter/Vela/Normal/Windowsxp/update.ini")
    yield "override_like", update_ini(b"http://127.0.0.1:8080/Presenter/Vela/Normal/Windowsxp/")


# ---- raw input batches (count, header-size selector, then the buffer)

def raw_record(kind, size, payload):
    # type, size, device handle, wParam: the 64-bit header, then the data
    return struct.pack("<IIQQ", kind, size, 0x1234, 0) + payload


def raw_input_seeds():
    mouse = raw_record(0, 48, bytes(24))
    keyboard = raw_record(1, 40, bytes(16))
    yield "empty", struct.pack("<I", 0) + b"\0"
    yield "one_mouse", struct.pack("<I", 1) + b"\0" + mouse
    yield "mouse_and_keyboard", struct.pack("<I", 2) + b"\0" + mouse + keyboard
    yield "count_beyond_buffer", struct.pack("<I", 9) + b"\0" + mouse
    yield "size_beyond_buffer", struct.pack("<I", 1) + b"\0" + raw_record(0, 4096, bytes(8))
    yield "wow64_header", struct.pack("<I", 1) + b"\1" + struct.pack("<IIII", 0, 40, 1, 0) + bytes(24)


def main():
    for target, seeds in (("raw_input_batch_fuzz", raw_input_seeds()), ("update_ini_fuzz", update_seeds()), ("device_names_fuzz", device_seeds()), ("link_events_fuzz", link_seeds()), ("sim_transport_fuzz", sim_seeds()),
                          ("settings_values_fuzz", settings_seeds())):
        folder = HERE / "corpus" / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in seeds:
            (folder / f"seed-{name}").write_bytes(data)


if __name__ == "__main__":
    main()
