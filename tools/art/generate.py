"""Regenerates every picture, icon and alarm sound of the program, and the
contact sheet. Output is byte-for-byte reproducible on the same packages.

usage: generate.py [--out DIR] [--sheet FILE] [--no-sounds]"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import sheet  # noqa: E402
import sounds  # noqa: E402
from catalogue import PICTURES, draw_all  # noqa: E402
from icons import all_icons  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", default=os.path.join(ROOT, "resources", "art"))
    parser.add_argument("--sheet", default=os.path.join(ROOT, "out", "art", "contact_sheet.png"))
    parser.add_argument("--no-sounds", action="store_true")
    args = parser.parse_args()

    os.makedirs(args.out, exist_ok=True)
    pictures = draw_all()
    for pid, name, _ in PICTURES:
        pictures[pid].save(os.path.join(args.out, name), "PNG", optimize=False, compress_level=9)
    icons = all_icons()
    for name, (data, _) in icons.items():
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(data)
    if not args.no_sounds:
        sounds.write_all(args.out)
    if args.sheet:
        os.makedirs(os.path.dirname(args.sheet), exist_ok=True)
        sheet.build(pictures, icons).save(args.sheet, "PNG")
        folder = os.path.dirname(args.sheet)
        for pid in (140, 141, 145, 146, 152, 153):
            name = next(n for i, n, _ in PICTURES if i == pid)
            pictures[pid].save(os.path.join(folder, name), "PNG")
    print(f"art: {len(PICTURES)} pictures, {len(icons)} icons"
          f"{'' if args.no_sounds else ', 2 sounds'} in {args.out}; sheet {args.sheet}")


if __name__ == "__main__":
    main()
