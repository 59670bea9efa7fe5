#!/usr/bin/env bash
# Runs a Windows test exe under Wine with its output going through a file.
# If this is the first Wine program of the session, Wine starts its services
# (services.exe, winedevice.exe for the HID bus, ...) from it; they inherit
# its standard handles and live on, so a pipe handed down by ctest would
# never see its end and the test would hang until its timeout.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
"$here/../../../scripts/wine-exec.sh" "$@" >"$out" 2>&1 </dev/null
code=$?
cat "$out"
exit "$code"
