#!/usr/bin/python3
"""Soak run: the real program under Wine, driven by the simulated receiver
through many cycles of what a conference day does to it, in a seeded random
order:

  unplug/replug   the receiver goes away (connection and listener closed)
                  and comes back after 0.2-1 s
  radio down/up   the remote goes silent until the program gives up its
                  read (3 s) and reconnects, then talks again
  scene           scene key pressed and released
  effect          effect key pressed, held a moment, released
  latch           effect key with the latch bit, then released
  size            size up or size down, released
  black screen    the black-screen key

After every cycle a state request must be answered with a valid output
report within 1 s. Before the cycles (after a warm-up of --warmup cycles)
and after them the tool measures: the answer time of 50 state requests,
the Wine process's resident memory (VmRSS) and data segment (VmData, where
the Windows heaps live), its private bytes and kernel handle count
(GetProcessMemoryInfo, GetProcessHandleCount: Wine answers 0 for both, they
count on Windows), its thread count (Toolhelp), its open file descriptors on
the Linux side, and its X resources (xrestop: windows, GCs, pixmaps, pictures,
fonts, cursors; what USER and GDI objects become under Wine, where
GetGuiResources answers 0). The run fails when the process died or stopped
answering, or when a figure grew beyond its margin (MARGINS below).

    tools/soak/soak.sh                      1000 cycles, seed 1
    tools/soak/soak.sh --cycles 20          the short variant (the test command runs it)
    tools/soak/soak.sh --seed 7 --cycles 3000
"""
from __future__ import annotations

import argparse
import random
import statistics
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
for folder in (ROOT / "tests" / "e2e", ROOT / "tests" / "e2e" / "link", ROOT / "tests" / "bench"):
    if str(folder) not in sys.path:
        sys.path.insert(0, str(folder))

from harness import WineSession  # noqa: E402
from linkharness import TITLE, find_program_pid, quit_program, receiver_sim  # noqa: E402
from shell_bench import x_resources  # noqa: E402

sim = receiver_sim

# Allowed growth from the baseline to the end of the run. Memory under Wine
# moves in heap-sized steps, so a few MiB are noise; handles, threads, file
# descriptors and X resources must come back to (nearly) where they were.
MARGINS = {
    "rss_kib": 8 * 1024,
    "data_kib": 8 * 1024,
    "private_kib": 8 * 1024,
    "handles": 10,
    "threads": 2,
    "fds": 5,
    "x_total": 4,
    "answer_median_ms": 10.0,
}
ANSWER_TIMEOUT_S = 1.0
# Wine answers 0 for these (GetProcessHandleCount, the private usage of
# GetProcessMemoryInfo); they count where the program runs on Windows.
UNREAD_UNDER_WINE = ("private_kib", "handles")


class Receiver:
    """The simulated receiver on one fixed port: plugged in or not, and the
    remote's radio on or off."""

    def __init__(self):
        self.simulator = sim.Simulator([sim.RECEIVER])
        self.port = self.simulator.port
        self.connection = None

    def variable(self) -> str:
        return self.simulator.variable()

    def wait_connected(self, timeout: float = 30) -> None:
        """Accepts the program's next connection and waits for its hello."""
        deadline = time.monotonic() + timeout
        while True:
            connection = self.simulator.accept(timeout=max(0.1, deadline - time.monotonic()))
            if connection.chosen(timeout=10) == 0:
                break
            if time.monotonic() > deadline:
                raise TimeoutError("the program took no interface")
        hello = connection.next_output(timeout=10)
        if not sim.is_hello(hello):
            raise AssertionError("first output is not the hello: " + hello.hex(" "))
        self.connection = connection

    def unplug(self) -> None:
        if self.connection:
            self.connection.close()
            self.connection = None
        self.simulator.close()
        self.simulator = None

    def replug(self) -> None:
        self.simulator = sim.Simulator([sim.RECEIVER], port=self.port)
        self.wait_connected()

    def send(self, report: bytes) -> None:
        self.connection.send(report)

    def answer_ms(self) -> float:
        """Round trip of one state request, in milliseconds."""
        frames = self.connection.frames
        while not frames.empty():  # anything the program sent on its own
            item = frames.get_nowait()
            if item is None:
                frames.put(None)
                break
        sent = time.perf_counter()
        self.connection.send(sim.state_request())
        arrived, answer = self.connection.recv_timed(timeout=ANSWER_TIMEOUT_S)
        report = sim.decode_output(answer)
        if not report.valid:
            raise AssertionError("invalid answer: " + ", ".join(report.problems))
        return (arrived - sent) * 1000

    def close(self) -> None:
        if self.connection:
            self.connection.close()
        if self.simulator:
            self.simulator.close()


# ------------------------------------------------------------------- actions
def press(receiver: Receiver, status: int, hold_s: float) -> None:
    receiver.send(sim.key_status(status))
    time.sleep(hold_s)
    receiver.send(sim.key_status(0))


def unplug_replug(receiver: Receiver, rng: random.Random) -> None:
    receiver.unplug()
    time.sleep(rng.uniform(0.2, 1.0))
    receiver.replug()


def radio_down_up(receiver: Receiver, rng: random.Random) -> None:
    # Silence: the program's 3 s read wait runs out, it closes and reconnects.
    if not receiver.connection.wait_closed(6.0):
        raise AssertionError("the program kept a silent receiver for more than 6 s")
    receiver.wait_connected()
    receiver.send(sim.key_status(0))


ACTIONS = [  # (name, weight, action)
    ("unplug/replug", 6, unplug_replug),
    ("radio down/up", 4, radio_down_up),
    ("scene", 15, lambda r, rng: press(r, sim.ST_SCENE_KEY, rng.uniform(0.02, 0.1))),
    ("effect", 20, lambda r, rng: press(r, sim.ST_EFFECT_KEY, rng.uniform(0.05, 0.4))),
    ("latch", 15, lambda r, rng: press(r, sim.ST_EFFECT_KEY | sim.ST_LATCH, rng.uniform(0.05, 0.2))),
    ("size", 20, lambda r, rng: press(r, rng.choice((sim.ST_SIZE_UP, sim.ST_SIZE_DOWN)), 0.03)),
    ("black screen", 20, lambda r, rng: r.send(sim.black_screen())),
]


# -------------------------------------------------------------- measurements
@dataclass
class Figures:
    answer_median_ms: float
    answer_p99_ms: float
    rss_kib: int
    data_kib: int
    private_kib: int
    handles: int
    threads: int
    fds: int
    x: dict

    @property
    def x_total(self) -> int:
        return sum(self.x.values())


def percentile(values: list[float], fraction: float) -> float:
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(fraction * (len(ordered) - 1))))]


def measure(session, receiver: Receiver, pid: int) -> Figures:
    answers = [receiver.answer_ms() for _ in range(50)]
    status = {}
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        name, _, value = line.partition(":")
        status[name] = value.split()[0] if value.split() else "0"
    # "gdi user private-bytes"; Wine gives "n/a" (or 0) for what it cannot count.
    private = (session.probe("resources", TITLE).stdout.split() + ["n/a"] * 3)[2]
    handles = session.probe("handles", TITLE).stdout.strip()  # "n/a" under Wine
    threads = session.probe("threads", TITLE).stdout.strip()
    fds = len(list(Path(f"/proc/{pid}/fd").iterdir()))
    return Figures(statistics.median(answers), percentile(answers, 0.99), int(status["VmRSS"]),
                   int(status["VmData"]), int(private) // 1024 if private.isdigit() else 0,
                   int(handles) if handles.isdigit() else 0, int(threads), fds, x_resources(session, pid))


def report_lines(args, base: Figures | None, end: Figures | None, counts: dict, failures: list[str], seconds: float) -> list[str]:
    lines = [f"# Soak run: {args.cycles} cycles, seed {args.seed}", "",
             f"{time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, {seconds:.0f} s", "",
             "Cycles by kind: " + ", ".join(f"{name} {n}" for name, n in counts.items()), "",
             "| Figure | Baseline | End | Growth | Margin |", "|---|---:|---:|---:|---:|"]
    if base is None or end is None:
        return lines + ["", "Result: FAILED before the figures: " + "; ".join(failures)]
    for name in ("answer_median_ms", "rss_kib", "data_kib", "private_kib", "handles", "threads", "fds", "x_total"):
        a, b = getattr(base, name), getattr(end, name)
        fmt = (lambda v: f"{v:.2f}") if isinstance(a, float) else str
        if name in UNREAD_UNDER_WINE and a == 0 and b == 0:
            lines.append(f"| {name} | not readable under Wine (0) | | | {MARGINS[name]} |")
            continue
        lines.append(f"| {name} | {fmt(a)} | {fmt(b)} | {fmt(b - a)} | {MARGINS[name]} |")
    lines += ["", f"answer p99: baseline {base.answer_p99_ms:.2f} ms, end {end.answer_p99_ms:.2f} ms",
              f"X resources: baseline {base.x}, end {end.x}", "",
              "Result: " + ("PASSED" if not failures else "FAILED: " + "; ".join(failures))]
    return lines


def run(args) -> int:
    rng = random.Random(args.seed)
    counts = {name: 0 for name, _, _ in ACTIONS}
    failures: list[str] = []
    base = end = None
    with WineSession(args.build_dir, args.out, "soak", compositor=False) as session:
        # No manual on the first start.
        session.reg_add(r"SOFTWARE\Korvel\PresenterVela\FirstRun", "REG_DWORD", "0")
        receiver = Receiver()
        program = session.start_program(args.exe, PRESENTER_VELA_RECEIVER=receiver.variable())
        started = time.monotonic()
        try:
            receiver.wait_connected(timeout=60)
            if not session.wait_window(TITLE, 30):
                raise AssertionError("no main window")
            pid = find_program_pid(session.prefix) or program.pid
            names = [name for name, _, _ in ACTIONS]
            weights = [weight for _, weight, _ in ACTIONS]
            actions = {name: action for name, _, action in ACTIONS}

            def cycle(number: int) -> None:
                name = rng.choices(names, weights)[0]
                counts[name] += 1
                actions[name](receiver, rng)
                receiver.answer_ms()  # raises when the program does not answer
                if number % 100 == 0:
                    print(f"  cycle {number}: {dict(counts)}", flush=True)

            # Every effect in every scene, latched too, and the black screen,
            # once before the baseline: first uses allocate what later ones reuse.
            for _scene in range(3):
                for status in (sim.ST_EFFECT_KEY, sim.ST_EFFECT_KEY | sim.ST_LATCH, sim.ST_SIZE_UP,
                               sim.ST_SIZE_DOWN):
                    press(receiver, status, 0.3)
                    time.sleep(0.2)
                receiver.send(sim.black_screen())
                time.sleep(0.3)
                receiver.send(sim.black_screen())
                press(receiver, sim.ST_SCENE_KEY, 0.05)
                receiver.answer_ms()
            for number in range(args.warmup):
                cycle(number)
            time.sleep(1.0)
            base = measure(session, receiver, pid)
            for number in range(1, args.cycles + 1):
                try:
                    cycle(number)
                except (AssertionError, TimeoutError, sim.ConnectionClosed) as error:
                    failures.append(f"cycle {number}: {error!r}")
                    break
            alive = program.poll() is None
            if not alive:
                failures.append(f"the program ended (code {program.poll()})")
            end = measure(session, receiver, pid) if alive and not failures else base
            for name, margin in MARGINS.items():
                growth = getattr(end, name) - getattr(base, name)
                if growth > margin:
                    failures.append(f"{name} grew by {growth} (margin {margin})")
            if alive:
                code, took = quit_program(session, program)
                if code != 0:
                    failures.append(f"Quit ended the program with code {code}")
                print(f"quit after the soak: exit code {code} in {took:.2f} s")
        except (AssertionError, TimeoutError, sim.ConnectionClosed, RuntimeError) as error:
            failures.append(f"before the cycles: {error!r}")
        finally:
            receiver.close()
            if program.poll() is None:
                program.kill()
                program.wait(timeout=10)
        lines = report_lines(args, base, end, counts, failures, time.monotonic() - started)
    args.out.mkdir(parents=True, exist_ok=True)
    (args.out / "report.md").write_text("\n".join(lines) + "\n")
    print("\n".join(lines))
    return 0 if not failures else 1


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--exe", type=Path, default=ROOT / "build/windows/bin/PresenterVela.exe")
    parser.add_argument("--build-dir", type=Path, default=ROOT / "build/windows")
    parser.add_argument("--out", type=Path, default=ROOT / "out/soak")
    parser.add_argument("--artifacts", type=Path, help="same as --out (ctest's name)")
    parser.add_argument("--cycles", type=int, default=1000)
    parser.add_argument("--warmup", type=int, default=20, help="cycles before the baseline is measured (after one of every effect in every scene)")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    if args.artifacts:
        args.out = args.artifacts
    args.exe, args.build_dir, args.out = args.exe.resolve(), args.build_dir.resolve(), args.out.resolve()
    return run(args)


if __name__ == "__main__":
    sys.exit(main())
