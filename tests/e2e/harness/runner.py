"""Command line of an end-to-end test script.

ctest runs each script as
    python3 test_x.py --exe <PresenterVela.exe> --build-dir <build> --artifacts <dir>
and the script calls harness.main() at the bottom; its test cases read the
paths from harness.context().
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
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
