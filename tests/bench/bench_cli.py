"""The command line every Python benchmark here takes, as scripts/bench.sh
starts it: the program, its build tree and a folder for the benchmark's own
output (its Wine session's logs and screenshots).

    /usr/bin/python3 tests/bench/<name>_bench.py --exe <PresenterVela.exe> --build-dir <build> --out <dir>
"""
import argparse
from pathlib import Path


def parser() -> argparse.ArgumentParser:
    """The three arguments; a benchmark adds its own before it parses."""
    arguments = argparse.ArgumentParser()
    arguments.add_argument("--exe", required=True, type=Path)
    arguments.add_argument("--build-dir", required=True, type=Path)
    arguments.add_argument("--out", required=True, type=Path)
    return arguments
