#!/usr/bin/python3
"""Scripted tour of PresenterVela.exe on a private virtual display.

Starts the program under Wine inside Xvfb, takes screenshots of what a user
sees at each step into the output folder, and quits it.
"""
import argparse
import sys
from pathlib import Path

from harness import WineSession

TITLE = "KORVEL_PRESENTER"


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True, type=Path)
    parser.add_argument("--build-dir", required=True, type=Path)
    parser.add_argument("--out", required=True, type=Path)
    args = parser.parse_args()

    shots = []
    with WineSession(args.build_dir, args.out, "tour") as session:
        program = session.start_program(args.exe.resolve())
        if not session.wait_window(TITLE, timeout_s=30):
            print("tour: the program did not start", file=sys.stderr)
            return 1
        shots.append(session.screenshot("tour-01-started"))
        session.close_window(TITLE)
        program.wait(timeout=10)
    for shot in shots:
        print(f"screenshot: {shot}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
