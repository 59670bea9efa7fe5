#!/usr/bin/env bash
# A long fuzzing campaign: every fuzz target (or the ones named), one after
# the other at low priority, each for a number of inputs (default 10 million).
#
#   scripts/fuzz.sh [--runs N] [--jobs-per-target 1] [target...]
#
# Each target grows its corpus in build/fuzz/campaign/<target> (seeded from
# the committed tests/fuzz/corpus/<target>); logs, any failing inputs
# (crash-*, timeout-*, oom-*) and out/fuzz/summary.md land in out/fuzz/.
# A failing input belongs in tests/fuzz/corpus/<target>/ once its fault is
# mended, so the test command replays it from then on.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
runs=10000000
targets=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    -h | --help) sed -n 2,12p "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done

export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
bash scripts/build.sh fuzz
if [[ ${#targets[@]} -eq 0 ]]; then
  for corpus in tests/fuzz/corpus/*/; do targets+=("$(basename "$corpus")"); done
fi

out=out/fuzz
mkdir -p "$out/artifacts"
summary="$out/summary.md"
# One row per target, kept across campaigns: the summary shows the latest
# campaign of every target.
mkdir -p "$out/rows"
status=0
for target in "${targets[@]}"; do
  fuzzer="build/fuzz/tests/fuzz/$target"
  corpus="build/fuzz/campaign/$target"
  log="$out/$target.log"
  mkdir -p "$corpus"
  echo "== fuzz: $target, $runs inputs (log: $log)"
  t0=$SECONDS
  result=clean
  if ! nice -n 10 "$fuzzer" -runs="$runs" -print_final_stats=1 -artifact_prefix="$out/artifacts/$target-" \
      "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    result="FAILED (see $log)"
    status=1
  fi
  seconds=$((SECONDS - t0))
  last=$(grep -E '^#[0-9]+' "$log" | tail -1)
  executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corp=$(sed -n 's/.* corp: \([^ ]*\).*/\1/p' <<<"$last")
  echo "| $target | ${executed:-?} | $seconds | ${speed:-?} | ${cov:-?} | ${ft:-?} | ${corp:-?} | $result |" \
    "$(date -u '+%Y-%m-%d %H:%M')" >"$out/rows/$target.md"
  echo "   $last"
done
{
  echo "# Fuzzing campaigns"
  echo
  echo "$(uname -n), $(nproc) cores, $(clang --version | head -1); one target at a time, nice 10"
  echo
  echo "| Target | Inputs run | Time (s) | exec/s | cov | ft | corpus | result | finished (UTC) |"
  echo "|---|---:|---:|---:|---:|---:|---:|---|---|"
  for row in "$out"/rows/*.md; do sed 's/ *$/ |/' "$row"; done
} >"$summary"
echo "== summary: $summary"
cat "$summary"
exit $status
