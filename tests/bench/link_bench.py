#!/usr/bin/python3
"""Benchmark of the receiver link under Wine (prints figures; asserts nothing).

  1. Latency of state-request answers: the time from sending an input frame
     to the answering output frame arriving, over 1000 requests, measured at
     the simulator (so it includes loopback TCP and the simulator's Python
     on top of the program's own handling); once with requests 20 ms apart,
     once back to back.
  2. CPU of the program while connected and idle (the remote sends one report
     a second), while the simulated receiver is absent (refused connections
     every 200 ms) and while no HID receiver is present (HID discovery every
     200 ms), from /proc per-thread counters over a 20 s window each.

Run after a windows build:
  /usr/bin/python3 tests/bench/link_bench.py \
      --exe build/windows/bin/PresenterVela.exe --build-dir build/windows --out build/windows/artifacts/bench
"""
from __future__ import annotations

import sys
import time
from pathlib import Path

import bench_cli
import e2e_paths

e2e_paths.use("link")

from figures import figure, series  # noqa: E402
from harness import WineSession  # noqa: E402
from linkharness import (TITLE, SETTLE_S, connect, find_program_pid, process_cpu_seconds, quit_program,  # noqa: E402
                         receiver_sim, start_with_simulator, stop_if_running)

sim = receiver_sim
REQUESTS = 1000
WINDOW_S = 20.0


def cpu_over(pid: int, seconds: float, during=None) -> tuple[float, float]:
    """(whole process, busiest thread) CPU in % of one core over `seconds`."""
    before = process_cpu_seconds(pid)
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        if during:
            during()
        time.sleep(1.0)
    elapsed = time.monotonic() - start
    after = process_cpu_seconds(pid)
    if not after:
        raise RuntimeError(f"no threads of pid {pid} to measure")
    deltas = [after[t] - before.get(t, 0.0) for t in after]
    return 100 * sum(deltas) / elapsed, 100 * max(deltas, default=0.0) / elapsed


def cpu_figures(state: str, total: float, busiest: float) -> None:
    figure(f"CPU, {state}, whole process ({WINDOW_S:.0f} s)", total, None, "% of a core", "<= 1")
    figure(f"CPU, {state}, busiest thread ({WINDOW_S:.0f} s)", busiest, None, "% of a core", "<= 1")


def measure_latency(connection, gap_s: float) -> list[float]:
    """Round trips of state requests sent `gap_s` after the previous answer."""
    for _ in range(20):  # warm-up
        connection.send(sim.state_request())
        connection.next_output(timeout=2)
    latencies = []
    for _ in range(REQUESTS):
        time.sleep(gap_s)
        sent = time.perf_counter()
        connection.send(sim.state_request())
        arrived, answer = connection.recv_timed(timeout=2)
        if not sim.decode_output(answer).valid:
            raise RuntimeError("invalid answer " + answer.hex(" "))
        latencies.append((arrived - sent) * 1000)
    return latencies


def main() -> int:
    args = bench_cli.parser().parse_args()
    exe = args.exe.resolve()

    with WineSession(args.build_dir.resolve(), args.out.resolve(), "link-bench", compositor=False) as session:
        simulator = sim.Simulator([sim.RECEIVER])
        program = start_with_simulator(session, exe, simulator)
        try:
            connection, chosen = connect(simulator)
            assert chosen == 0
            connection.next_output(timeout=SETTLE_S + 5)
            session.wait_window(TITLE, timeout_s=20)
            pid = find_program_pid(session.prefix)
            if pid is None:
                raise RuntimeError("program process not found")
            print(f"program pid {pid}: {Path(f'/proc/{pid}/cmdline').read_bytes()[:80]!r}")

            # Spaced requests find the worker waiting on its read, as the
            # receiver's do; back-to-back ones mostly land in the 8 ms pause
            # between passes and wait for it.
            for label, gap in (("spaced 20 ms", 0.020), ("back-to-back", 0.0)):
                series(f"state-request answer, {label}", measure_latency(connection, gap), "ms",
                       "median <= 10, p99 <= 20")

            total, busiest = cpu_over(pid, WINDOW_S, during=lambda: connection.send(sim.key_status(0)))
            cpu_figures("connected, idle (1 report/s)", total, busiest)

            connection.close()
            simulator.close()
            time.sleep(4)  # the read fails; from now on refused connections
            total, busiest = cpu_over(pid, WINDOW_S)
            cpu_figures("simulated receiver absent", total, busiest)
            quit_program(session, program)
        finally:
            stop_if_running(program)

        program = session.start_program(exe)  # the real HID transport; Wine has no receiver
        try:
            session.wait_window(TITLE, timeout_s=20)
            time.sleep(2)
            pid = find_program_pid(session.prefix)
            total, busiest = cpu_over(pid, WINDOW_S)
            cpu_figures("no HID receiver present", total, busiest)
            quit_program(session, program)
        finally:
            stop_if_running(program)
    return 0


if __name__ == "__main__":
    sys.exit(main())
