#!/usr/bin/python3
"""Fails when the committed manuals differ from what their sources build.

    /usr/bin/python3 tools/manuals/check_manuals.py

Rebuilds both manuals into a temporary folder and compares them byte for byte
with resources/manuals/*.pdf; run build_manuals.py to bring them up to date.
"""
import pathlib
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
COMMITTED = HERE.parent.parent / "resources" / "manuals"


def main():
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run([sys.executable, str(HERE / "build_manuals.py"), "--out", tmp], check=True,
                       stdout=subprocess.DEVNULL, timeout=300)
        stale = [name for name in ("manual_en.pdf", "manual_zh.pdf")
                 if (pathlib.Path(tmp) / name).read_bytes() != (COMMITTED / name).read_bytes()]
    if stale:
        print("out of date: " + ", ".join(stale) + " (run tools/manuals/build_manuals.py)")
        return 1
    print("manuals up to date")
    return 0


if __name__ == "__main__":
    sys.exit(main())
