#!/usr/bin/env bash
# Fails when a C++ file of ours differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' | grep -v '^build/')
if ((${#files[@]} == 0)); then echo "no C++ files"; exit 0; fi
bad=0
for f in "${files[@]}"; do
  [[ -f "$f" ]] || continue
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
    echo "not clang-format clean: $f"
    bad=1
  fi
done
if ((bad)); then
  echo "run: clang-format -i <file>"
  exit 1
fi
echo "${#files[@]} C++ files are clang-format clean"
