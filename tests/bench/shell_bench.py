#!/usr/bin/python3
"""Benchmark of the application shell under Wine (prints figures, asserts
nothing): how soon the tray icon is there after the splash closes, and the
program's private memory, handle count, GDI/USER object counts (not available
under Wine) and X resources after start and after 100 show/hide cycles of
the main window.

    /usr/bin/python3 tests/bench/shell_bench.py \\
        --exe build/windows/bin/PresenterVela.exe --build-dir build/windows --out out/bench
"""
import statistics
import sys
import time
from pathlib import Path

import bench_cli
import e2e_paths

e2e_paths.use()

from figures import figure  # noqa: E402
from harness import WineSession  # noqa: E402

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
    raise RuntimeError(f"no resident size for pid {pid}")


def x_resource_total(session, pid: int) -> int:
    """All X resources of the program; raises when xrestop did not see it."""
    totals = x_resources(session, pid)
    if not totals:
        raise RuntimeError(f"xrestop shows no X client of pid {pid}")
    return sum(totals.values())


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
        result["x_after_start"] = x_resource_total(session, program.pid)
        if run == 0:
            begin = time.monotonic()
            session.probe("cycle", TITLE, "100", str(UM_SHOW_MAIN), "0", str(WM_COMMAND), str(IDCANCEL), timeout=300)
            result["cycles_s"] = time.monotonic() - begin
            time.sleep(1.0)
            result["after_cycles"] = resources(session)
            result["handles_after_cycles"] = handles(session)
            result["rss_after_cycles_kib"] = rss_kib(program.pid)
            result["x_after_cycles"] = x_resource_total(session, program.pid)
        session.probe("post", TITLE, str(WM_COMMAND), str(WM_COMMAND_QUIT))
        program.wait(timeout=10)
        return result


def main() -> int:
    parser = bench_cli.parser()
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    args.exe, args.build_dir = args.exe.resolve(), args.build_dir.resolve()

    runs = [one_start(args, run) for run in range(args.runs)]
    tray = [r["tray_after_splash_ms"] for r in runs]
    figure(f"tray icon after the splash closed ({len(tray)} starts, polled every 5 ms; p99 column: max)",
           statistics.median(tray), max(tray), "ms", "<= 500")
    figure(f"splash shown after launch ({len(runs)} starts)", statistics.median(r["splash_shown"] for r in runs),
           max(r["splash_shown"] for r in runs), "ms", "<= 3000")
    first = runs[0]
    print(f"100 show/hide cycles took {first['cycles_s']:.1f} s")
    # Wine answers GetGuiResources and another process's private bytes with
    # nothing usable: those figures say so instead of showing a 0.
    gdi, user, private = (first["after_cycles"][i] for i in range(3))
    for name, start_value, end_value, unit, goal in (
            ("GDI objects", first["after_start"][0], gdi, "objects", "0"),
            ("USER objects", first["after_start"][1], user, "objects", "0"),
            ("handles", first["handles_after_start"], first["handles_after_cycles"], "handles", "0"),
            ("private memory", first["after_start"][2], private, "KiB", "<= 1024")):
        readable = start_value.isdigit() and end_value.isdigit() and int(start_value) > 0
        figure(f"{name} growth over 100 show/hide cycles",
               int(end_value) - int(start_value) if readable else "n/a under Wine", None, unit, goal)
    figure("RSS growth over 100 show/hide cycles", first["rss_after_cycles_kib"] - first["rss_after_start_kib"],
           None, "KiB", "<= 2048")
    figure("X resources growth over 100 show/hide cycles (all kinds)",
           first["x_after_cycles"] - first["x_after_start"], None, "resources", "0")
    return 0


if __name__ == "__main__":
    sys.exit(main())
