#!/usr/bin/env bash
# Soak run of the real program under Wine (see soak.py): builds the Windows
# preset when the exe is missing, then runs the cycles; the report goes to
# out/soak/report.md.
#   tools/soak/soak.sh [--cycles 1000] [--seed 1] [--warmup 20]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
if [[ ! -f build/windows/bin/PresenterVela.exe || ! -f build/windows/bin/pvprobe.exe ]]; then
  bash scripts/build.sh windows
fi
export PYTHONDONTWRITEBYTECODE=1
exec /usr/bin/python3 tools/soak/soak.py "$@"
