"""Command line of an end-to-end test script.

ctest runs each script as
    python3 test_x.py --exe <PresenterVela.exe> --build-dir <build> --artifacts <dir>
and the script calls harness.main() at the bottom; its test cases read the
paths from harness.context(). A run in which no test ran fails.
"""
from __future__ import annotations

import argparse
import sys
import unittest
from dataclasses import dataclass
from pathlib import Path


@dataclass(frozen=True)
class TestContext:
    exe: Path
    build_dir: Path
    artifacts: Path


_context: TestContext | None = None


def context() -> TestContext:
    if _context is None:
        raise RuntimeError("harness.main() has not parsed the command line")
    return _context


def main() -> None:
    global _context
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True, type=Path)
    parser.add_argument("--build-dir", required=True, type=Path)
    parser.add_argument("--artifacts", required=True, type=Path)
    args, rest = parser.parse_known_args()
    _context = TestContext(args.exe.resolve(), args.build_dir.resolve(), args.artifacts.resolve())
    _context.artifacts.mkdir(parents=True, exist_ok=True)
    program = unittest.main(argv=[sys.argv[0]] + rest, verbosity=2, exit=False)
    result = program.result
    if result.testsRun == 0:
        # A script whose tests were lost (a class renamed, a name filter
        # that matches nothing) must not pass as if it had run.
        print("no test ran", file=sys.stderr)
        sys.exit(1)
    sys.exit(0 if result.wasSuccessful() else 1)
