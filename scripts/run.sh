#!/usr/bin/env bash
# Sets up the machine, builds PresenterVela.exe and runs it under Wine.
#   With a DISPLAY: runs on that display until you quit it (tray menu, Quit).
#   Without one:    a scripted tour on a private virtual display, with a
#                   simulated remote; screenshots land in out/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/lib/wine-env.sh

bash scripts/setup.sh
bash scripts/build.sh windows
build="$PWD/build/windows"
exe="$build/bin/PresenterVela.exe"

if [[ -n "${DISPLAY:-}" ]]; then
  # A persistent prefix of its own, so settings survive between runs.
  root="$build/wine/run"
  if [[ ! -f "$root/.ready" ]]; then
    pv_wine_ensure_template "$build"
    pv_wine_clone_prefix "$build/wine/template" "$root"
  fi
  pv_wine_env "$root"
  echo "running $exe on $DISPLAY (prefix $WINEPREFIX)"
  cd "$(dirname "$exe")"
  exec wine "$exe"
fi

mkdir -p out
PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 tools/tour/tour.py \
  --exe "$exe" --build-dir "$build" --out "$PWD/out"
