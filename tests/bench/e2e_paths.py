"""Puts the end-to-end tests' harness (tests/e2e) and the helpers of the
named e2e folders on the import path: the benchmarks here drive the program
the way those tests do, with the same sessions and helpers.

    import e2e_paths
    e2e_paths.use("link")  # then: from harness import ...; from linkharness import ...
"""
import sys
from pathlib import Path

E2E = Path(__file__).resolve().parents[1] / "e2e"


def use(*folders: str) -> None:
    for folder in (E2E, *(E2E / name for name in folders)):
        if str(folder) not in sys.path:
            sys.path.insert(0, str(folder))
