#!/usr/bin/env bash
# Builds the release packages and puts them into out/release/:
#   PresenterVela-<version>-x64.msi   per-user installation package
#   PresenterVela-<version>-x64.zip   portable program, manuals, first-use text
#   SHA256SUMS                        checksums of both
# <version> is the project version of the top-level CMakeLists.txt. The
# packages are made by the Windows build (packaging/), from the exe it builds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/setup.sh
echo "== build: windows (release packages)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target pv_release_packages

built=build/windows/release
out=out/release
(cd "$built" && sha256sum --check --quiet SHA256SUMS)
rm -rf "$out"
mkdir -p "$out"
cp "$built"/PresenterVela-*-x64.msi "$built"/PresenterVela-*-x64.zip "$built/SHA256SUMS" "$out/"
(cd "$out" && sha256sum --check --quiet SHA256SUMS)
echo "== release packages in $out:"
(cd "$out" && ls -l --time-style=+ PresenterVela-* SHA256SUMS | awk '{printf "  %-36s %9d bytes\n", $NF, $5}')
