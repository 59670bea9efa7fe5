#!/usr/bin/env bash
# Configures and builds one preset or both:  build.sh [host|windows|all]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
which="${1:-all}"
presets=()
case "$which" in
  host | windows) presets=("$which") ;;
  all) presets=(host windows) ;;
  *) echo "usage: $0 [host|windows|all]" >&2; exit 2 ;;
esac
for preset in "${presets[@]}"; do
  echo "== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
