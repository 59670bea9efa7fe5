#!/usr/bin/env bash
# Runs a Windows test executable under Wine in the build tree's test prefix.
# ctest uses this as the cross-compiling emulator: wine-exec.sh <exe> [args...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/wine-env.sh"

exe="$1"
shift

# The build tree is the nearest folder above the executable with a CMakeCache.
build="$(cd "$(dirname "$exe")" && pwd)"
while [[ "$build" != "/" && ! -f "$build/CMakeCache.txt" ]]; do build="$(dirname "$build")"; done
[[ -f "$build/CMakeCache.txt" ]] || { echo "wine-exec: $exe is not inside a build tree" >&2; exit 2; }

root="$build/wine/unit"
if [[ ! -f "$root/.ready" ]]; then
  echo "wine-exec: no test prefix; run the tests through ctest (the wine session fixture prepares it)" >&2
  exit 2
fi
pv_wine_env "$root"
if [[ -z "${DISPLAY:-}" && -f "$root/display" ]]; then
  DISPLAY="$(cat "$root/display")"
  export DISPLAY
fi
exec wine "$exe" "$@"
