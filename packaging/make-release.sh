#!/usr/bin/env bash
# Writes the release packages of a built program into one folder:
#   make-release.sh PresenterVela.exe pv_msi_actions.dll A.B.C.D DIR
#   DIR/PresenterVela-<version>-x64.msi   per-user installation package
#   DIR/PresenterVela-<version>-x64.zip   portable program, manuals, first-use text
#   DIR/SHA256SUMS                        checksums of both
# Packages of other versions left in DIR are removed first: the folder holds
# one release.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(dirname "$here")"

if (($# != 4)); then
  echo "usage: $0 PresenterVela.exe pv_msi_actions.dll A.B.C.D OUT_DIR" >&2
  exit 2
fi
exe="$1" dll="$2" version="$3" out_dir="$4"

base="PresenterVela-$version-x64"
mkdir -p "$out_dir"
rm -f "$out_dir"/PresenterVela-*-x64.msi "$out_dir"/PresenterVela-*-x64.zip "$out_dir/SHA256SUMS"

bash "$here/make-msi.sh" --exe "$exe" --dll "$dll" --version "$version" --out "$out_dir/$base.msi"

# The portable zip: everything at its top level, so "Extract all" gives one
# folder holding the program. The first-use text gets Windows line ends.
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/PresenterVela.exe"
cp "$source_dir/resources/manuals/manual_en.pdf" "$stage/PresenterVela-manual-en.pdf"
cp "$source_dir/resources/manuals/manual_zh.pdf" "$stage/PresenterVela-manual-zh.pdf"
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/first-use.txt" >"$stage/FIRST-USE.txt"
(cd "$stage" && timeout 120 zip -q -X -9 "$stage/$base.zip" \
  PresenterVela.exe PresenterVela-manual-en.pdf PresenterVela-manual-zh.pdf FIRST-USE.txt)
mv -f "$stage/$base.zip" "$out_dir/$base.zip"

(cd "$out_dir" && sha256sum "$base.msi" "$base.zip" >SHA256SUMS)
