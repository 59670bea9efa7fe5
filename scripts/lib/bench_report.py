"""Builds out/bench/report.md from the benchmark logs (scripts/bench.sh).

Only the logs' FIGURE lines are read:
    FIGURE <name> | <median> | <p99> | <unit> | <goal>
A log marked BENCH-FAILED, or one without a single figure, is a failed
benchmark: it is named under the table and the exit code is 1.

    /usr/bin/python3 scripts/lib/bench_report.py out/bench
"""
from __future__ import annotations

import platform
import subprocess
import sys
import time
from pathlib import Path


def figures(bench: str, text: str) -> list[tuple[str, ...]]:
    """(benchmark, figure, median, p99, unit, goal) of each FIGURE line."""
    found = []
    for line in text.splitlines():
        if line.startswith("FIGURE "):
            fields = [field.strip() for field in line[len("FIGURE "):].split(" | ")]
            if len(fields) == 5:
                found.append((bench, *fields))
    return found


def fmt(value: str) -> str:
    try:
        number = float(value)
    except ValueError:
        return value  # "-", "n/a under Wine"
    return f"{number:.3f}".rstrip("0").rstrip(".") if abs(number) < 100 else f"{number:.0f}"


def machine() -> str:
    cpuinfo = Path("/proc/cpuinfo").read_text()
    cpu = next((line.split(":", 1)[1].strip() for line in cpuinfo.splitlines() if line.startswith("model name")),
               platform.processor())
    try:
        wine = subprocess.run(["wine", "--version"], capture_output=True, text=True, timeout=30).stdout.strip()
    except (OSError, subprocess.TimeoutExpired):
        wine = "wine version unknown"
    cores = sum(1 for line in cpuinfo.splitlines() if line.startswith("processor"))
    return f"{platform.node()}, {cpu}, {cores} cores, {platform.system()} {platform.release()}, {wine}"


def main(out: Path) -> int:
    rows, failed = [], []
    logs = sorted(out.glob("*.log"))
    for log in logs:
        text = log.read_text(errors="replace")
        found = figures(log.stem, text)
        if "BENCH-FAILED" in text:
            failed.append(f"{log.stem} (failed)")
        elif not found:
            failed.append(f"{log.stem} (printed no figure)")
        rows += found
    if not logs:
        failed.append("none ran")
    lines = ["# Benchmark report", "",
             f"- Date: {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}",
             f"- Machine: {machine()}",
             "- Figures measured under Wine in Xvfb on a machine shared with other work: compare runs on the same "
             "machine, not across machines. A floor is the same work done by a bare program of the benchmark's "
             "own in the same run; a ratio is ours over its floor, median to median and p99 to p99.", "",
             "| Benchmark | Figure | Median | p99 | Unit | Goal |", "|---|---|---:|---:|---|---|"]
    lines += [f"| {bench} | {name} | {fmt(median)} | {fmt(p99)} | {unit} | {goal} |"
              for bench, name, median, p99, unit, goal in rows]
    if failed:
        lines += ["", "Benchmarks that failed: " + ", ".join(failed) + " (see their logs)"]
    lines += ["", "Logs: " + ", ".join(f"`{log.name}`" for log in logs)]
    (out / "report.md").write_text("\n".join(lines) + "\n")
    print("\n".join(lines))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1])))
