#!/usr/bin/env bash
# Regenerates resources/art/ (pictures, icons, alarm sounds) and the contact
# sheet out/art/contact_sheet.png. Needs the packages of scripts/packages/art.txt.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exec /usr/bin/python3 -B "$here/generate.py" "$@"
