#!/usr/bin/env python3
"""Fails when the program's code includes against its layers.

The subsystems stand in layers; a folder may include its own headers and
those of the layers below it, never those of its own layer's other folders
or of a layer above. A platform-free core/ folder includes only core/
headers (and the generated version header), so it builds in every preset.
Tests, tools and packaging may include anything.

    /usr/bin/python3 scripts/check-layers.py
"""
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# Lowest first; a folder uses only folders of a lower number.
LAYERS = {
    "framework": 0,
    "resources": 0,
    "link": 1,
    "settings": 1,
    "effects": 2,
    "update": 2,
    "ui/skin": 2,
    "ui/mainwindow": 3,
    "app": 4,
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def subsystem(path):
    for name in sorted(LAYERS, key=len, reverse=True):
        if path == name or path.startswith(name + "/"):
            return name
    return None


def faults(path, text):
    own = subsystem(path)
    in_core = "/core/" in path
    for included in INCLUDE.findall(text):
        if "/" not in included:
            continue  # a header of the same folder or a generated one
        other = subsystem(included)
        if in_core and "/core/" not in included:
            yield f"{path}: platform-free code includes {included}"
        if other is None or other == own:
            continue
        if LAYERS[other] >= LAYERS[own]:
            yield f"{path}: {own} includes {included} of {other}, not a layer below it"


def main():
    listed = subprocess.run(["git", "ls-files", "--", "*.h", "*.cpp"], cwd=ROOT, check=True,
                            capture_output=True, text=True).stdout.split()
    found = []
    checked = 0
    for path in listed:
        if subsystem(path) is None:
            continue
        checked += 1
        found.extend(faults(path, (ROOT / path).read_text(encoding="utf-8")))
    for fault in found:
        print(fault)
    if found:
        return 1
    print(f"{checked} files include only their own layer and those below it")
    return 0


if __name__ == "__main__":
    sys.exit(main())
