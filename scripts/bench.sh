#!/usr/bin/env bash
# Runs every benchmark of the project and writes out/bench/report.md: each
# figure with its median, p99 and goal side by side, the floors measured
# beside them in the same run and the ratios to those floors, with the
# machine and the date. Exits non-zero when a benchmark failed or printed no
# figure.
#
#   scripts/bench.sh            build the Windows preset, run all, write the report
#   scripts/bench.sh --report   only rebuild the report from the logs in out/bench/
#
# Benchmarks run: the skin's drawing (windows.skin_win32_test, SkinBenchmark),
# the overlays' pointer following with the lens beside its StretchBlt floor
# (effects_win32_test, OverlayTest.Benchmark*), the settings store
# (settings_bench.exe), every tests/e2e/*/bench_*.py (the receiver link, the
# settings page, the update check against a silent server, ...) and every
# tools/bench/*_bench.py (the shell; the effects beside latency_floor.exe;
# whatever is added later; each takes --exe --build-dir --out).
# Their output goes to out/bench/<name>.log.
#
# A benchmark gets its figures into the report only by printing lines
#   FIGURE <name> | <median> | <p99> | <unit> | <goal>
# (p99 may be "-"; the Python benchmarks print them with
# tests/e2e/harness/figures.py, the Windows ones with
# tests/windows/bench_figure.h). Nothing else of a log is read.
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
  bash scripts/build.sh windows
  # The Windows-test benchmarks share the unit-test prefix and its session.
  bash scripts/wine-session.sh start "$PWD/$build" >/dev/null
  trap 'bash scripts/wine-session.sh stop "$PWD/$build" >/dev/null 2>&1 || true' EXIT
  run_bench skin bash scripts/wine-exec.sh "$build/bin/skin_win32_test.exe" --gtest_filter='SkinBenchmark.*'
  run_bench overlays bash scripts/wine-exec.sh "$build/bin/effects_win32_test.exe" \
    --gtest_filter='OverlayTest.Benchmark*'
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

exec /usr/bin/python3 scripts/lib/bench_report.py "$out"
