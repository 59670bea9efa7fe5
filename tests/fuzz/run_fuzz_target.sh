#!/usr/bin/env bash
# The test command's brief run of one fuzz target: every committed seed and
# regression input first, then a fixed number of mutations from a fixed
# seed, so a run is the same on every machine. New inputs go to a scratch
# folder in the build tree, never into the committed corpus.
#   run_fuzz_target.sh <fuzzer> <committed corpus> <scratch folder> <runs>
set -euo pipefail
fuzzer="$1" corpus="$2" scratch="$3" runs="$4"
rm -rf "$scratch"
mkdir -p "$scratch/new" "$scratch/artifacts"
exec "$fuzzer" -seed=1 -runs="$runs" -max_total_time=60 -print_final_stats=1 \
  -artifact_prefix="$scratch/artifacts/" "$scratch/new" "$corpus"
