#!/usr/bin/python3
"""Benchmark of the application shell under Wine (prints figures, asserts
nothing): how soon the tray icon is there after the splash closes, and the
program's private memory, handle count, GDI/USER object counts (not available
under Wine) and X resources after start and after 100 show/hide cycles of
the main window.

    PYTHONPATH=tests/e2e /usr/bin/python3 tools/bench/shell_bench.py \\
        --exe build/windows/bin/PresenterVela.exe --build-dir build/windows --out out/bench
"""
import argparse
import statistics
import sys
import time
from pathlib import Path

from harness import WineSession

TITLE = "KORVEL_PRESENTER"
UM_SHOW_MAIN = 0x465
WM_COMMAND = 0x111
IDCANCEL = 2
WM_COMMAND_QUIT = 32774


def resources(session) -> tuple[str, str, str]:
    """GDI and USER object counts and private KiB as text ("n/a" under Wine,
    which answers GetGuiResources and the private bytes of another process
    with 0 whatever it holds)."""
    gdi, user, private = session.probe("resources", TITLE).stdout.split()
    return gdi, user, str(int(private) // 1024) if private.isdigit() else private


def handles(session) -> str:
    result = session.probe("handles", TITLE)
    return result.stdout.strip() if result.returncode == 0 and result.stdout.strip() else "n/a"


def x_resources(session, pid: int) -> dict[str, int]:
    """The X server resources (windows, GCs, pixmaps, pictures...) held by the
    program's X connections: what its USER and GDI objects become under
    Wine, where GetGuiResources always answers 0. xrestop names a client's
    PID when the client has told it (Wine does, for a process with windows)."""
    out = session.run_tool(["xrestop", "-b", "-m", "1"], timeout=30).stdout
    totals: dict[str, int] = {}
    counting = False
    for line in out.splitlines():
        if not line.startswith("\t"):
            header_pid = line.rsplit("PID:", 1)[-1].strip(" ):")
            counting = header_pid.isdigit() and int(header_pid) == pid
            continue
        key, _, value = line.strip().partition(":")
        key, value = key.strip(), value.strip().lstrip("~")
        if counting and key in ("windows", "GCs", "pixmaps", "pictures", "fonts", "cursors") and value.isdigit():
            totals[key] = totals.get(key, 0) + int(value)
    return totals


def rss_kib(pid: int) -> int:
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def one_start(args, run: int) -> dict:
    with WineSession(args.build_dir, args.out, f"bench-{run}", compositor=False) as session:
        timeline_file = session.root / "timeline.txt"
        with open(timeline_file, "w") as out:
            watcher = session.spawn([str(args.build_dir / "bin" / "pvprobe.exe"), "startup", "30000"], stdout=out)
            time.sleep(0.5)  # the watcher is polling before the program starts
            program = session.start_program(args.exe)
            watcher.wait(timeout=40)
        fields = dict(item.split("=") for item in timeline_file.read_text().split())
        result = {name: int(value) for name, value in fields.items()}
        result["tray_after_splash_ms"] = result["tray_shown"] - result["splash_gone"]
        session.wait_window(TITLE, 10)
        time.sleep(1.0)
        result["after_start"] = resources(session)
        result["handles_after_start"] = handles(session)
        result["rss_after_start_kib"] = rss_kib(program.pid)
        result["x_after_start"] = x_resources(session, program.pid)
        if run == 0:
            begin = time.monotonic()
            session.probe("cycle", TITLE, "100", str(UM_SHOW_MAIN), "0", str(WM_COMMAND), str(IDCANCEL), timeout=300)
            result["cycles_s"] = time.monotonic() - begin
            time.sleep(1.0)
            result["after_cycles"] = resources(session)
            result["handles_after_cycles"] = handles(session)
            result["rss_after_cycles_kib"] = rss_kib(program.pid)
            result["x_after_cycles"] = x_resources(session, program.pid)
        session.probe("post", TITLE, str(WM_COMMAND), str(WM_COMMAND_QUIT))
        program.wait(timeout=10)
        return result


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True, type=Path)
    parser.add_argument("--build-dir", required=True, type=Path)
    parser.add_argument("--out", required=True, type=Path)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    args.exe, args.build_dir = args.exe.resolve(), args.build_dir.resolve()

    runs = [one_start(args, run) for run in range(args.runs)]
    tray = [r["tray_after_splash_ms"] for r in runs]
    print(f"tray icon after the splash closed: median {statistics.median(tray)} ms, "
          f"max {max(tray)} ms over {len(tray)} starts (polled every 5 ms)")
    print(f"splash shown after {statistics.median(r['splash_shown'] for r in runs)} ms (median, from launch)")
    first = runs[0]
    print("after start:      GDI %s, USER %s, handles %s, private %s KiB, RSS %d KiB" %
          (first["after_start"][0], first["after_start"][1], first["handles_after_start"],
           first["after_start"][2], first["rss_after_start_kib"]))
    print("after 100 cycles: GDI %s, USER %s, handles %s, private %s KiB, RSS %d KiB (%.1f s)" %
          (first["after_cycles"][0], first["after_cycles"][1], first["handles_after_cycles"],
           first["after_cycles"][2], first["rss_after_cycles_kib"], first["cycles_s"]))
    if first["after_start"][0] == "n/a":
        print("(GDI, USER, handle and private-byte figures of another process are not available under Wine;"
              " RSS and the X resources below are real)")
    print(f"X resources after start:      {first['x_after_start']}")
    print(f"X resources after 100 cycles: {first['x_after_cycles']}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
