"""Benchmark figures, printed the one way scripts/bench.sh reads them:

    FIGURE <name> | <median> | <p99> | <unit> | <goal>

(the same lines as figure.h prints for the C++ benchmarks). A benchmark that measured nothing prints no figure for it: `series` raises
instead, so the benchmark fails rather than report a number it never saw.
"""
from __future__ import annotations

import statistics


class NothingMeasured(RuntimeError):
    pass


def percentile(values: list[float], fraction: float) -> float:
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(fraction * (len(ordered) - 1))))]


def figure(name: str, median, p99, unit: str, goal: str) -> None:
    """One figure; p99 None prints "-" (a single measurement or an average)."""
    def text(value) -> str:
        if value is None:
            return "-"
        return value if isinstance(value, str) else f"{value:.3f}"
    print(f"FIGURE {name} | {text(median)} | {text(p99)} | {unit} | {goal}", flush=True)


def series(name: str, values: list[float], unit: str, goal: str, scale: float = 1.0) -> tuple[float, float]:
    """The median and p99 of a series of measurements as one figure; returns them."""
    if not values:
        raise NothingMeasured(f"{name}: nothing was measured")
    median, p99 = statistics.median(values) * scale, percentile(values, 0.99) * scale
    figure(f"{name} (n={len(values)})", median, p99, unit, goal)
    return median, p99


def ratio(name: str, ours: tuple[float, float], floor: tuple[float, float], goal: str) -> None:
    """Ours against its floor, median to median and p99 to p99."""
    figure(name, ours[0] / floor[0], ours[1] / floor[1], "x floor", goal)
