#!/usr/bin/env bash
# Sets up the machine, builds both presets and runs every test layer:
#   host     platform-free core (GoogleTest, ASan + UBSan) and the format check
#   fuzz     each fuzz target briefly, from its committed corpus and a fixed seed
#   tsan     the link worker tests under ThreadSanitizer
#   windows  Win32 glue (GoogleTest under Wine) and the exe's import check
#   e2e      the real exe under Wine + Xvfb, driven from Python
#
#   scripts/test.sh                 everything
#   scripts/test.sh host|fuzz|tsan|windows|e2e  one layer (after a build)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
layer="${1:-all}"
started=$SECONDS

if [[ "$layer" == all ]]; then
  bash scripts/setup.sh
  bash scripts/build.sh all
fi

status=0
run_layer() {
  local name="$1"
  shift
  local t0=$SECONDS
  echo "== tests: $name"
  if ! ctest "$@"; then status=1; fi
  echo "== $name layer: $((SECONDS - t0)) s"
}

case "$layer" in
  all)
    run_layer host --preset host -j "$(nproc)"
    run_layer fuzz --preset fuzz
    run_layer tsan --preset tsan -j "$(nproc)"
    # Wine tests run one at a time: they share a prefix, and the e2e timings
    # (splash, auto-hide) must not compete for the two cores.
    run_layer windows --preset windows -L windows
    run_layer e2e --preset windows -L e2e
    ;;
  host) run_layer host --preset host -j "$(nproc)" ;;
  fuzz) run_layer fuzz --preset fuzz ;;
  tsan) run_layer tsan --preset tsan -j "$(nproc)" ;;
  windows) run_layer windows --preset windows -L windows ;;
  e2e) run_layer e2e --preset windows -L e2e ;;
  *) echo "usage: $0 [host|fuzz|tsan|windows|e2e]" >&2; exit 2 ;;
esac

echo "== test command: $((SECONDS - started)) s, $([[ $status == 0 ]] && echo passed || echo FAILED)"
exit $status
