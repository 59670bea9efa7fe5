#!/usr/bin/env bash
# Configures and builds one preset or all of them:
#   build.sh [host|windows|fuzz|tsan|all]
# fuzz and tsan build only the fuzz targets and the link's thread tests.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
which="${1:-all}"
presets=()
case "$which" in
  host | windows | fuzz | tsan) presets=("$which") ;;
  all) presets=(host windows fuzz tsan) ;;
  *) echo "usage: $0 [host|windows|fuzz|tsan|all]" >&2; exit 2 ;;
esac
for preset in "${presets[@]}"; do
  echo "== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
