#!/usr/bin/env python3
"""Screenshots of every campaign level at its start, with the default camera,
taken from the real game under Xvfb (one run per level, the level copied to
maps/level0.xml of a scratch copy of data/), into out/levels/levelN.png, and
a contact sheet of them all.

Look at them: the avatar and the way ahead must be in view, and every block
must lie inside the light's shadow map (shadows where blocks stand between
the light and a face).

Usage: level_shots.py [--sheet docs/levels-contact.png] [LEVEL.xml ...]
"""
import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
OUT = os.path.join(ROOT, "out", "levels")
os.environ.setdefault("TUMBIX_OUT", OUT)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import GameRun  # noqa: E402


def level_number(path):
    m = re.search(r"level(\d+)\.xml$", path)
    return int(m.group(1)) if m else 10**6


def shoot(level):
    name = os.path.basename(level)

    def prepare(data):
        shutil.copy(level, os.path.join(data, "maps", "level0.xml"))

    with GameRun(f"shot-{name}", prepare=prepare) as run:
        run.wait_line("Level consists of", timeout=60, exact=False)
        time.sleep(2.0)  # the first frames, drawn by the software renderer
        return run.screenshot(name.replace(".xml", ".png"))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--sheet", default=os.path.join(ROOT, "docs", "levels-contact.png"))
    ap.add_argument("levels", nargs="*")
    args = ap.parse_args()
    levels = args.levels or sorted(glob.glob(os.path.join(ROOT, "data", "maps", "level*.xml")), key=level_number)
    os.makedirs(OUT, exist_ok=True)
    shots = []
    for level in levels:
        path = shoot(os.path.abspath(level))
        print(path, flush=True)
        shots.append(path)
    if args.sheet and shots:
        # eight to a row, each 144 x 115 with its file name under it, 96 colours
        subprocess.run(["montage", "-label", "%t", *shots, "-tile", "8x", "-geometry", "144x115+2+2",
                        "-font", "DejaVu-Sans", "-pointsize", "10", "-background", "#202028",
                        "-fill", "#e0e0e0", "-colors", "96", "-depth", "8", "PNG8:" + args.sheet], check=True)
        print(args.sheet)


if __name__ == "__main__":
    main()
