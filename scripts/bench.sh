#!/usr/bin/env bash
# Runs the benchmarks of the project and writes out/bench/report.md: each
# figure with its median, p99 and goal side by side, the floors measured
# beside them in the same run and the ratios to those floors, with the
# machine and the date. Exits non-zero when a benchmark failed or printed no
# figure.
#
#   scripts/bench.sh               build the Windows preset, run all, write the report
#   scripts/bench.sh <name>...     the same with only the named ones (skin, link, ...)
#   scripts/bench.sh --report      only rebuild the report from the logs in out/bench/
#
# Every benchmark lives in tests/bench/ and is run by its file name alone:
# each <name>_bench.cpp there is the program <name>_bench.exe, run in the
# Windows tests' Wine prefix and session (the skin's drawing, the overlays'
# pointer following beside its StretchBlt floor, the settings store, ...);
# each <name>_bench.py drives the real program under Wine with the e2e
# harness (the receiver link, the settings page, the update check against a
# silent server, the shell, the effects beside latency_floor.exe, ...) and
# takes --exe --build-dir --out (bench_cli.py). A benchmark added there is
# run by itself.
# The output of each goes to out/bench/<name>.log.
#
# A benchmark gets its figures into the report only by printing lines
#   FIGURE <name> | <median> | <p99> | <unit> | <goal>
# (p99 may be "-"; tests/bench/figures.py prints them for the Python
# benchmarks, tests/bench/figure.h for the C++ ones). Nothing else of a log
# is read.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=out/bench
mkdir -p "$out"
build=build/windows
benches=tests/bench
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

# Whether the benchmark <name> is to run: all of them, or the ones named.
wanted() {
  (($# == 1)) && return 0
  local name="$1" asked
  shift
  for asked in "$@"; do [[ "$asked" == "$name" ]] && return 0; done
  return 1
}

if [[ "${1:-}" != --report ]]; then
  for asked in "$@"; do
    if [[ ! -f "$benches/${asked}_bench.cpp" && ! -f "$benches/${asked}_bench.py" ]]; then
      echo "no benchmark $asked in $benches/ (usage: $0 [--report | <name>...])" >&2
      exit 2
    fi
  done
  rm -f "$out"/*.log
  bash scripts/build.sh windows
  bash scripts/wine-session.sh start "$PWD/$build" >/dev/null
  trap 'bash scripts/wine-session.sh stop "$PWD/$build" >/dev/null 2>&1 || true' EXIT
  for source in "$benches"/*_bench.cpp; do
    name="$(basename "$source" _bench.cpp)"
    wanted "$name" "$@" || continue
    run_bench "$name" bash scripts/wine-exec.sh "$build/bin/${name}_bench.exe"
  done
  bash scripts/wine-session.sh stop "$PWD/$build" >/dev/null 2>&1 || true
  trap - EXIT

  common=(--exe "$build/bin/PresenterVela.exe" --build-dir "$build")
  for script in "$benches"/*_bench.py; do
    name="$(basename "$script" _bench.py)"
    wanted "$name" "$@" || continue
    run_bench "$name" /usr/bin/python3 "$script" "${common[@]}" --out "$out/$name"
  done
fi

exec /usr/bin/python3 scripts/lib/bench_report.py "$out"
