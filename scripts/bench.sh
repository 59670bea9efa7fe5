#!/usr/bin/env bash
# Runs every benchmark of the project and writes out/bench/report.md: each
# figure with its median, p99 (or max, where that is what the benchmark
# measures) and goal side by side, with the machine and the date.
#
#   scripts/bench.sh            build the Windows preset if needed, run all, write the report
#   scripts/bench.sh --report   only rebuild the report from the logs in out/bench/
#
# Benchmarks run: the skin's drawing (windows.skin_win32_test, SkinBenchmark),
# the settings store (settings_bench.exe), the receiver link
# (tests/e2e/link/bench_link.py), the update check against a silent server
# (tests/e2e/update/bench_update_timeout.py): every tests/e2e/*/bench_*.py
# and every tools/bench/*_bench.py (the shell, and whatever is added later;
# each takes --exe --build-dir --out).
# Their output goes to out/bench/<name>.log.
#
# A new benchmark gets its figures into the report by printing lines
#   FIGURE <name> | <median> | <p99> | <unit> | <goal>
# (p99 may be "-"); the older benchmarks' own lines are read by the
# patterns in the report builder below, which also holds their goals.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=out/bench
mkdir -p "$out"
build=build/windows
export PYTHONDONTWRITEBYTECODE=1

run_bench() {
  local name="$1"
  shift
  echo "== bench: $name"
  local t0=$SECONDS
  if ! timeout 1800 "$@" >"$out/$name.log" 2>&1; then
    echo "   $name FAILED (see $out/$name.log)"
    echo "BENCH-FAILED" >>"$out/$name.log"
  fi
  echo "   $((SECONDS - t0)) s"
}

if [[ "${1:-}" != --report ]]; then
  rm -f "$out"/*.log
  if [[ ! -f $build/bin/PresenterVela.exe || ! -f $build/bin/settings_bench.exe ]]; then
    bash scripts/build.sh windows
  fi
  # The Windows-test benchmarks share the unit-test prefix and its session.
  bash scripts/wine-session.sh start "$PWD/$build" >/dev/null
  trap 'bash scripts/wine-session.sh stop "$PWD/$build" >/dev/null 2>&1 || true' EXIT
  run_bench skin bash scripts/wine-exec.sh "$build/bin/skin_win32_test.exe" --gtest_filter='SkinBenchmark.*'
  run_bench settings bash scripts/wine-exec.sh "$build/bin/settings_bench.exe"
  bash scripts/wine-session.sh stop "$PWD/$build" >/dev/null 2>&1 || true
  trap - EXIT

  export PYTHONPATH="$PWD/tests/e2e"
  common=(--exe "$build/bin/PresenterVela.exe" --build-dir "$build")
  # The e2e folders' bench_*.py (link, update, ...) and tools/bench/*_bench.py.
  for script in tests/e2e/*/bench_*.py; do
    name="$(basename "$script" .py)"
    name="${name#bench_}"
    run_bench "$name" /usr/bin/python3 "$script" "${common[@]}" --out "$out/$name"
  done
  for script in tools/bench/*_bench.py; do
    name="$(basename "$script" _bench.py)"
    run_bench "$name" /usr/bin/python3 "$script" "${common[@]}" --out "$out/$name"
  done
fi

/usr/bin/python3 - "$out" <<'EOF'
import platform
import re
import subprocess
import sys
import time
from pathlib import Path

out = Path(sys.argv[1])
rows = []  # (benchmark, figure, median, p99, unit, goal)

def num(text):
    return float(text)

def fmt(value):
    if value is None:
        return "-"
    if isinstance(value, str):
        return value
    return f"{value:.3f}".rstrip("0").rstrip(".") if value < 100 else f"{value:.0f}"

# Pattern -> rows. Goals are what a user would notice first: an answer to
# the receiver well inside one 8 ms worker pass plus loopback, the tray icon
# there before the user looks for it, a paint well inside a 60 Hz frame, no
# growth over repeated use, and the link idle at well under 1 % of a core.
def parse(bench, text):
    found = []
    for line in text.splitlines():
        m = re.match(r"FIGURE (.+?) \| ([\d.]+) \| ([\d.]+|-) \| (\S+) \| (.+)$", line.strip())
        if m:
            p99 = None if m[3] == "-" else num(m[3])
            found.append((bench, m[1], num(m[2]), p99, m[4], m[5]))
            continue
        m = re.search(r"state-request answer latency, (.+?), (\d+) requests \(ms\): median ([\d.]+), "
                      r"p99 ([\d.]+), max ([\d.]+)", line)
        if m:
            found.append((bench, f"state-request answer, {m[1]} ({m[2]} requests)", num(m[3]), num(m[4]),
                          "ms", "median <= 10, p99 <= 20"))
            continue
        m = re.search(r"CPU (.+?): process ([\d.]+) %, busiest thread ([\d.]+) %", line)
        if m:
            found.append((bench, f"CPU, {m[1]} (whole process)", num(m[2]), None, "% of a core", "<= 1"))
            continue
        m = re.search(r"tray icon after the splash closed: median ([\d.]+) ms, max ([\d.]+) ms over (\d+)", line)
        if m:
            found.append((bench, f"tray icon after the splash ({m[3]} starts; p99 column: max)", num(m[1]),
                          num(m[2]), "ms", "<= 500"))
            continue
        m = re.search(r"splash shown after ([\d.]+) ms", line)
        if m:
            found.append((bench, "splash shown after launch (median)", num(m[1]), None, "ms", "<= 3000"))
            continue
        m = re.search(r"DrawPng 621x462 with COM kept initialised: ([\d.]+) us", line)
        if m:
            found.append((bench, "DrawPng page, COM kept initialised", num(m[1]) / 1000, None, "ms", "<= 16"))
            continue
        m = re.search(r"DrawPng 621x462: ([\d.]+) us, GetPngRect 621x462: ([\d.]+) us, DimRect 290x148: "
                      r"([\d.]+) us, CBitStrip::DrawFrame 10x18: ([\d.]+) us", line)
        if m:
            found += [(bench, "DrawPng page (621 x 462)", num(m[1]) / 1000, None, "ms", "<= 16"),
                      (bench, "GetPngRect page", num(m[2]) / 1000, None, "ms", "<= 16"),
                      (bench, "DimRect 290 x 148", num(m[3]) / 1000, None, "ms", "<= 4"),
                      (bench, "CBitStrip::DrawFrame 10 x 18", num(m[4]), None, "us", "<= 100")]
            continue
        m = re.search(r"^(write \+ RegFlushKey|LoadSetting \(read, range\)): ([\d.]+) us per value", line)
        if m:
            found.append((bench, m[1], num(m[2]), None, "us per value", "<= 1000"))
    silent = [num(v) for v in re.findall(r"silent server, attempt \d+: first message after ([\d.]+) s", text)]
    if silent:
        found.append((bench, f"page frozen by a silent update server ({len(silent)} checks; p99 column: max)",
                      sorted(silent)[len(silent) // 2], max(silent), "s", "<= 12 (10 s time-out)"))
    # Growth over the shell benchmark's 100 show/hide cycles.
    start = re.search(r"after start:\s+GDI (\d+), USER (\d+), private (\d+) KiB, RSS (\d+) KiB", text)
    cycles = re.search(r"after 100 cycles: GDI (\d+), USER (\d+), private (\d+) KiB, RSS (\d+) KiB", text)
    if start and cycles:
        if start[3] == cycles[3] == "0":  # Wine answers 0 for a process's private usage
            found.append((bench, "private memory growth over 100 show/hide cycles", "not readable under Wine",
                          None, "KiB", "<= 1024"))
        else:
            found.append((bench, "private memory growth over 100 show/hide cycles",
                          int(cycles[3]) - int(start[3]), None, "KiB", "<= 1024"))
        found.append((bench, "RSS growth over 100 show/hide cycles", int(cycles[4]) - int(start[4]), None, "KiB",
                      "<= 2048"))
    xs = re.search(r"X resources after start:\s+(\{.*\})", text)
    xc = re.search(r"X resources after 100 cycles:\s+(\{.*\})", text)
    if xs and xc:
        before, after = eval(xs[1], {}), eval(xc[1], {})  # dict literals printed by the benchmark
        found.append((bench, "X resources growth over 100 show/hide cycles (all kinds)",
                      sum(after.values()) - sum(before.values()), None, "resources", "0"))
    return found

failed = []
for log in sorted(out.glob("*.log")):
    text = log.read_text(errors="replace")
    if "BENCH-FAILED" in text:
        failed.append(log.stem)
    rows += parse(log.stem, text)

cpu = next((l.split(":", 1)[1].strip() for l in Path("/proc/cpuinfo").read_text().splitlines()
            if l.startswith("model name")), platform.processor())
try:
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True, timeout=30).stdout.strip()
except Exception:
    wine = "?"
lines = ["# Benchmark report", "",
         f"- Date: {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}",
         f"- Machine: {platform.node()}, {cpu}, {len(open('/proc/cpuinfo').read().split('processor')) - 1} cores, "
         f"{platform.system()} {platform.release()}, {wine}",
         "- Figures measured under Wine in Xvfb on a machine shared with other work: compare runs on the same "
         "machine, not across machines.", "",
         "| Benchmark | Figure | Median | p99 | Unit | Goal |", "|---|---|---:|---:|---|---|"]
for bench, figure, median, p99, unit, goal in rows:
    lines.append(f"| {bench} | {figure} | {fmt(median)} | {fmt(p99)} | {unit} | {goal} |")
if failed:
    lines += ["", "Benchmarks that failed to run: " + ", ".join(failed) + " (see their logs)"]
lines += ["", "Logs: " + ", ".join(f"`{l.name}`" for l in sorted(out.glob('*.log')))]
(out / "report.md").write_text("\n".join(lines) + "\n")
print("\n".join(lines))
EOF
