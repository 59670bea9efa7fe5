#!/usr/bin/python3
"""Simulated USB receiver of the Presenter Vela remote.

PresenterVela.exe uses it instead of the HID receiver when started with
PRESENTER_VELA_RECEIVER=tcp:127.0.0.1:PORT. The program is the TCP client;
every message is a frame (2-byte little-endian length, then the bytes):

  simulator -> program  the interface list, 10 bytes per interface
                        (vendor, product, usage page, usage: u16 LE each;
                        input and output report length: u8 each)
  program -> simulator  one byte: the index of the interface it takes
                        (or the connection ends when none suits it)
  program -> simulator  the hello, then output reports
  simulator -> program  input reports

Use it as a library (tests):

    sim = Simulator([RECEIVER])
    ...start the program with sim.variable()...
    conn = sim.accept(timeout=10)
    assert conn.chosen(timeout=5) == 0
    hello = conn.next_output(timeout=5)
    conn.send(state_request())
    answer = decode_output(conn.next_output(timeout=5))

or from the command line, with commands on stdin (`help` lists them):

    tools/receiver-sim/receiver_sim.py --port 5555
    PRESENTER_VELA_RECEIVER=tcp:127.0.0.1:5555 wine PresenterVela.exe

The report codec here is written from the wire format on its own, not
after the program's, so that a mistake made on one side shows on the other.
"""
from __future__ import annotations

import argparse
import queue
import random
import socket
import struct
import sys
import threading
import time
from dataclasses import dataclass, field

VENDOR_ID = 0x0C45
PRODUCT_ID = 0x8101
CMD_STATE_REQUEST = 0xA5
CMD_BLACK_SCREEN = 0xA6
CMD_KEY_STATUS = 0x10  # any byte but 0xA5/0xA6 is a key-status report

ST_EFFECT_KEY = 0x01
ST_SCENE_KEY = 0x02
ST_LATCH = 0x08
ST_LOW_BATTERY = 0x10
ST_ALERT_ACK = 0x20
ST_SIZE_UP = 0x40
ST_SIZE_DOWN = 0x80


# --------------------------------------------------------------- interfaces
@dataclass(frozen=True)
class Interface:
    vendor: int
    product: int
    usage_page: int
    usage: int
    input_length: int
    output_length: int

    def pack(self) -> bytes:
        return struct.pack("<HHHHBB", self.vendor, self.product, self.usage_page, self.usage,
                           self.input_length, self.output_length)


RECEIVER = Interface(VENDOR_ID, PRODUCT_ID, 0xFF00, 0x0001, 10, 9)
WINE_MOUSE = Interface(0x845E, 0x0001, 0x0001, 0x0002, 5, 1)
WINE_KEYBOARD = Interface(0x845E, 0x0002, 0x0001, 0x0006, 9, 2)


def parse_interface(text: str) -> Interface:
    """'VID:PID:PAGE:USAGE:IN:OUT' in hex, e.g. 0c45:8101:ff00:0001:a:9."""
    parts = [int(p, 16) for p in text.split(":")]
    if len(parts) != 6:
        raise ValueError("interface needs VID:PID:PAGE:USAGE:IN:OUT")
    return Interface(*parts)


# -------------------------------------------------------------------- codec
def key_of_carrier(carrier: int) -> int:
    """The input key: NOT carrier, high and low nibble exchanged."""
    inverted = (~carrier) & 0xFF
    return ((inverted & 0x0F) << 4) | (inverted >> 4)


def status_pair(nibble: int) -> int:
    """Four status bits below their complement."""
    nibble &= 0x0F
    return ((nibble ^ 0x0F) << 4) | nibble


def encode_input(command: int, byte2: int = 0, byte3: int = 0, byte5: int = 0, byte6: int = 0,
                 byte7: int = 0, byte8: int = 0, carrier: int | None = None,
                 bad_checksum: bool = False, length: int = 10) -> bytes:
    """A masked input report from plain bytes 1-3 and 5-8."""
    if carrier is None:
        carrier = random.randrange(256)
    key = key_of_carrier(carrier)
    plain = {1: command, 2: byte2, 3: byte3, 5: byte5, 6: byte6, 7: byte7, 8: byte8}
    checksum = (sum(plain.values()) + key) & 0xFF
    if bad_checksum:
        checksum = (checksum + 1 + random.randrange(255)) & 0xFF
    report = bytearray(length)
    for index, value in plain.items():
        report[index] = (value & 0xFF) ^ key
    report[4] = carrier
    report[9] = checksum ^ key
    return bytes(report)


def key_status(status: int, **options) -> bytes:
    """Key-status report carrying an 8-bit status word."""
    return encode_input(CMD_KEY_STATUS, status_pair(status), status_pair(status >> 4), **options)


def state_request(**options) -> bytes:
    return encode_input(CMD_STATE_REQUEST, **options)


def black_screen(pressed: bool = True, **options) -> bytes:
    return encode_input(CMD_BLACK_SCREEN, byte6=1 if pressed else 0, **options)


@dataclass
class OutputReport:
    raw: bytes
    key: int = 0
    marker: int = 0
    timer_running: bool = False
    timer_alert: bool = False
    scene: int = 0
    latched: bool = False
    minutes: int = 0
    pointer_speed: int = 0
    problems: list[str] = field(default_factory=list)

    @property
    def valid(self) -> bool:
        return not self.problems


def is_hello(raw: bytes) -> bool:
    return len(raw) >= 3 and raw[0] == 0xFF and raw[1] == 0xFF and raw[2] == 0xFF


def decode_output(raw: bytes) -> OutputReport:
    """Unmasks an output report and lists everything wrong with it."""
    report = OutputReport(bytes(raw))
    if len(raw) < 9:
        report.problems.append(f"only {len(raw)} bytes")
        return report
    key = (~raw[7]) & 0xFF  # byte 7 travels as NOT key
    plain = [b ^ key for b in raw[:9]]
    report.key = key
    report.marker = plain[1]
    report.timer_running = bool(plain[2] & 0x01)
    report.timer_alert = bool(plain[2] & 0x02)
    report.scene = plain[3] & 0x0F
    report.latched = bool(plain[3] & 0x10)
    report.minutes = plain[4]
    report.pointer_speed = plain[5]
    if raw[0] != 0:
        report.problems.append(f"report id {raw[0]:#04x}")
    if report.marker != 0x5A:
        report.problems.append(f"marker {report.marker:#04x}")
    if raw[6] != key:
        report.problems.append(f"byte 6 {raw[6]:#04x} is not the key {key:#04x}")
    if plain[2] & 0xFC:
        report.problems.append(f"timer flags {plain[2]:#04x}")
    if plain[3] & 0xEC or report.scene > 2:
        report.problems.append(f"scene byte {plain[3]:#04x}")
    if report.pointer_speed > 100:
        report.problems.append(f"pointer speed {report.pointer_speed}")
    if (sum(plain[1:6]) & 0xFF) != plain[8]:
        report.problems.append("checksum")
    if any(raw[9:]):
        report.problems.append("bytes beyond 8 not zero")
    return report


# ----------------------------------------------------------------- protocol
class ConnectionClosed(Exception):
    pass


def frame(payload: bytes) -> bytes:
    return struct.pack("<H", len(payload)) + payload


class Connection:
    """One connection from the program. A reader thread collects its frames."""

    def __init__(self, sock: socket.socket, interfaces: list[Interface]):
        self.sock = sock
        self.interfaces = list(interfaces)
        self.frames: queue.Queue = queue.Queue()
        self.closed = threading.Event()
        self._send_lock = threading.Lock()  # a remote's repeat and a test's request never interleave
        self.arrivals: list[float] = []  # perf_counter of each received frame
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self._reader = threading.Thread(target=self._read_frames, daemon=True)
        self._reader.start()
        self.send_raw(b"".join(i.pack() for i in self.interfaces))

    def _read_frames(self) -> None:
        buffer = b""
        try:
            while True:
                chunk = self.sock.recv(4096)
                if not chunk:
                    break
                buffer += chunk
                while len(buffer) >= 2:
                    (length,) = struct.unpack_from("<H", buffer)
                    if len(buffer) < 2 + length:
                        break
                    self.frames.put((time.perf_counter(), buffer[2:2 + length]))
                    buffer = buffer[2 + length:]
        except OSError:
            pass
        self.closed.set()
        self.frames.put(None)

    def recv_frame(self, timeout: float) -> bytes:
        """The next frame; raises TimeoutError, or ConnectionClosed at the end."""
        return self.recv_timed(timeout)[1]

    def recv_timed(self, timeout: float) -> tuple[float, bytes]:
        try:
            item = self.frames.get(timeout=timeout)
        except queue.Empty:
            raise TimeoutError(f"no frame within {timeout} s") from None
        if item is None:
            self.frames.put(None)
            raise ConnectionClosed()
        return item

    def chosen(self, timeout: float) -> int | None:
        """Index the program took, or None when it closed the connection."""
        try:
            answer = self.recv_frame(timeout)
        except ConnectionClosed:
            return None
        if len(answer) != 1:
            raise AssertionError(f"expected a 1-byte index frame, got {answer.hex()}")
        return answer[0]

    def next_output(self, timeout: float) -> bytes:
        return self.recv_frame(timeout)

    def send_raw(self, payload: bytes) -> None:
        try:
            with self._send_lock:
                self.sock.sendall(frame(payload))
        except OSError as error:
            raise ConnectionClosed() from error

    def send(self, report: bytes) -> None:
        self.send_raw(report)

    def wait_closed(self, timeout: float) -> bool:
        return self.closed.wait(timeout)

    def close(self) -> None:
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.sock.close()


class Simulator:
    """Listens on a loopback port and offers `interfaces` to each connection."""

    def __init__(self, interfaces: list[Interface] | None = None, host: str = "127.0.0.1", port: int = 0):
        self.interfaces = list(interfaces if interfaces is not None else [RECEIVER])
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind((host, port))
        self.listener.listen(8)
        self.host, self.port = self.listener.getsockname()
        self.connections: list[Connection] = []

    def variable(self) -> str:
        """Value of PRESENTER_VELA_RECEIVER that points the program here."""
        return f"tcp:{self.host}:{self.port}"

    def accept(self, timeout: float) -> Connection:
        self.listener.settimeout(timeout)
        try:
            sock, _ = self.listener.accept()
        except socket.timeout:
            raise TimeoutError(f"no connection within {timeout} s") from None
        sock.settimeout(None)
        connection = Connection(sock, self.interfaces)
        self.connections.append(connection)
        return connection

    def close(self) -> None:
        for connection in self.connections:
            connection.close()
        self.listener.close()

    def __enter__(self) -> "Simulator":
        return self

    def __exit__(self, *exc) -> None:
        self.close()


# --------------------------------------------------------- command language
HELP = """commands (numbers in hex with 0x, or decimal):
  key STATUS        key-status report, e.g. key 0x01 (effect key down), key 0
  bad-key STATUS    the same with a wrong checksum
  state             state request; the answer is printed when it arrives
  black             black-screen key
  raw HEX           send these bytes as one input report
  sleep MS          pause the script
  drop              close the current connection
  quit              end"""


def describe(raw: bytes) -> str:
    if is_hello(raw):
        return f"hello {raw.hex(' ')}"
    report = decode_output(raw)
    text = (f"output scene={report.scene} latched={int(report.latched)} running={int(report.timer_running)} "
            f"alert={int(report.timer_alert)} minutes={report.minutes} speed={report.pointer_speed}")
    return text + ("" if report.valid else "  INVALID: " + ", ".join(report.problems))


class Console:
    """Serves connections one after another and runs stdin commands on the current one."""

    def __init__(self, simulator: Simulator, out=sys.stdout):
        self.simulator = simulator
        self.out = out
        self.current: Connection | None = None
        self.lock = threading.Lock()
        self.stopping = threading.Event()

    def say(self, text: str) -> None:
        with self.lock:
            print(text, file=self.out, flush=True)

    def serve(self) -> None:
        while not self.stopping.is_set():
            try:
                connection = self.simulator.accept(timeout=0.5)
            except (TimeoutError, OSError):
                continue
            self.say("connected")
            index = connection.chosen(timeout=10)
            if index is None:
                self.say("refused: no interface taken")
                continue
            self.say(f"chosen {index}")
            self.current = connection
            try:
                while True:
                    try:
                        self.say(describe(connection.recv_frame(timeout=0.5)))
                    except TimeoutError:
                        if self.stopping.is_set():
                            return
            except ConnectionClosed:
                self.say("closed")
                self.current = None

    def run(self, command: str) -> bool:
        words = command.split()
        if not words or words[0].startswith("#"):
            return True
        verb, args = words[0], words[1:]
        number = lambda text: int(text, 0)  # noqa: E731
        if verb == "quit":
            return False
        if verb == "help":
            self.say(HELP)
        elif verb == "sleep":
            time.sleep(number(args[0]) / 1000)
        elif verb in ("key", "bad-key", "state", "black", "raw", "drop"):
            if self.current is None:
                self.say("no connection")
                return True
            try:
                if verb == "key":
                    self.current.send(key_status(number(args[0])))
                elif verb == "bad-key":
                    self.current.send(key_status(number(args[0]), bad_checksum=True))
                elif verb == "state":
                    self.current.send(state_request())
                elif verb == "black":
                    self.current.send(black_screen())
                elif verb == "raw":
                    self.current.send(bytes.fromhex("".join(args)))
                else:
                    self.current.close()
            except ConnectionClosed:
                self.say("closed")
        else:
            self.say(f"unknown command: {verb} (try help)")
        return True


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--port", type=int, default=0, help="loopback port (0: any free one)")
    parser.add_argument("--interface", action="append", type=parse_interface,
                        help="offered interface VID:PID:PAGE:USAGE:IN:OUT (hex); repeatable; "
                             "default: the receiver alone")
    args = parser.parse_args(argv)
    simulator = Simulator(args.interface or [RECEIVER], port=args.port)
    console = Console(simulator)
    console.say(f"listening PRESENTER_VELA_RECEIVER={simulator.variable()}")
    server = threading.Thread(target=console.serve, daemon=True)
    server.start()
    try:
        for line in sys.stdin:
            if not console.run(line):
                break
    finally:
        console.stopping.set()
        simulator.close()
        server.join(timeout=2)
    return 0


if __name__ == "__main__":
    sys.exit(main())
