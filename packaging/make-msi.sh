#!/usr/bin/env bash
# Builds the per-user installation package from a built program:
#   make-msi.sh --exe PresenterVela.exe --dll pv_msi_actions.dll --version 1.2.3.4 --out file.msi
# The version is the program's four-number version; the package's product
# version is its first three numbers, because Windows Installer compares only
# those when it decides between upgrade, same version and downgrade. The
# product code is derived from that product version, so every release has its
# own and a package rebuilt for the same release has the same one.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source_dir="$(dirname "$here")"

exe="" dll="" version="" out=""
while (($#)); do
  case "$1" in
    --exe) exe="$2"; shift 2 ;;
    --dll) dll="$2"; shift 2 ;;
    --version) version="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    *) echo "make-msi: unknown argument $1" >&2; exit 2 ;;
  esac
done
if [[ -z "$exe" || -z "$dll" || -z "$version" || -z "$out" ]]; then
  echo "usage: $0 --exe FILE --dll FILE --version A.B.C[.D] --out FILE.msi" >&2
  exit 2
fi
if ! [[ "$version" =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)(\.[0-9]+)?$ ]]; then
  echo "make-msi: version '$version' is not A.B.C or A.B.C.D" >&2
  exit 2
fi
major=$((10#${BASH_REMATCH[1]})) minor=$((10#${BASH_REMATCH[2]})) build=$((10#${BASH_REMATCH[3]}))
# Windows Installer's limits: 255.255.65535.
if ((major > 255 || minor > 255 || build > 65535)); then
  echo "make-msi: version '$version' is beyond 255.255.65535" >&2
  exit 2
fi
product_version="$major.$minor.$build"
product_code="$(/usr/bin/python3 -c 'import sys, uuid
print(str(uuid.uuid5(uuid.UUID("559E4EE6-042C-4A6A-94B6-96F59E7F8D27"), "PresenterVela-x64-" + sys.argv[1])).upper())' \
  "$product_version")"

# The name and publisher shown under installed apps are those the program's own
# version resource gives.
version_value() {
  sed -n "s/^ *VALUE \"$1\", \"\(.*\)\".*\$/\1/p" "$source_dir/resources/presenter_vela.rc"
}
product_name="$(version_value ProductName)"
publisher="$(version_value CompanyName)"
if [[ -z "$product_name" || -z "$publisher" ]]; then
  echo "make-msi: no ProductName or CompanyName in resources/presenter_vela.rc" >&2
  exit 1
fi

mkdir -p "$(dirname "$out")"
out="$(realpath "$out")"
# wixl finds the files it packs by names relative to its working folder:
# they are laid out in a scratch folder under the names the package uses.
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/PresenterVela.exe"
cp "$source_dir/resources/art/app.ico" "$stage/PresenterVela.ico"
cp "$dll" "$stage/msi_actions.dll"
cp "$here/presenter_vela.wxs" "$stage/"
size_kib=$((($(stat -c %s "$stage/PresenterVela.exe") + $(stat -c %s "$stage/msi_actions.dll") + 1023) / 1024))
# wixl notes every non-advertised shortcut as "unimplemented" although it
# writes the shortcut completely (a target and a working folder): that note is
# left out of the output.
if ! (
  cd "$stage"
  timeout 120 wixl --arch x64 \
    -D ProductVersion="$product_version" \
    -D ProductCode="$product_code" \
    -D ProductName="$product_name" \
    -D Publisher="$publisher" \
    -D SizeKiB="$size_kib" \
    -o "$out.partial" presenter_vela.wxs 2>"$stage/wixl.log"
); then
  cat "$stage/wixl.log" >&2
  rm -f "$out.partial"
  exit 1
fi
grep -v 'builder.vala:[0-9]*: unimplemented' "$stage/wixl.log" >&2 || true

# An upgrade removes the old version with REMOVE set from the Upgrade table's
# Remove column (ALL when empty). Naming the package's one feature there
# removes the same, but makes that removal's REMOVE differ from a user's
# uninstall (ALL): the autostart entry's removal runs only for the latter.
# Windows Installer also sets UPGRADINGPRODUCTCODE for it, which the condition
# checks too; Wine's msiexec does not, so this column is what tells them apart
# there. wixl has no attribute for the column.
timeout 60 msibuild "$out.partial" -q \
  "UPDATE \`Upgrade\` SET \`Remove\` = 'Complete' WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'"
# The program's file version, so that Windows Installer's file rules compare
# versions (wixl leaves the column empty).
timeout 60 msibuild "$out.partial" -q \
  "UPDATE \`File\` SET \`Version\` = '$version' WHERE \`File\` = 'PresenterVela.exe'"
mv -f "$out.partial" "$out"
