#!/usr/bin/env python3
"""Plays a level's designated line in the real game under Xvfb, the way a
person would: Space to start, then each A or F typed into its window, and
says whether the level was won.

The presses come from `levelcheck --verbose` ("step N: A  window 0.25 s  at
T s"). The game runs with a fixed step per update (TUMBIX_FIXED_STEP, two
updates a frame), so a press goes in when the frames drawn since Space reach
the press's time plus a tenth of a second, inside its window, however fast
the machine draws.

Usage: play_line.py [--build DIR] [--step S] LEVEL.xml ...
(each LEVEL.xml in data/maps, or a path to one in a maps folder)
"""
import argparse
import os
import re
import shutil
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
os.environ.setdefault("TUMBIX_OUT", os.path.join(ROOT, "out", "play"))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import GameRun  # noqa: E402

PRESS = re.compile(r"^\s+step (\d+): (space|A|F)\s+window (no limit|[\d.]+ s)(?:\s+at ([\d.]+) s)?")


def presses(levelcheck, path):
    """[(key, time from Space in seconds)] of the designated line."""
    out = subprocess.run([levelcheck, "--verbose", path], capture_output=True, text=True, timeout=600).stdout
    lines = out.splitlines()
    at = next((i for i, l in enumerate(lines) if l.startswith("designated line:")), None)
    if at is None:
        raise SystemExit(f"{path}: no designated line:\n{out[-2000:]}")
    found = []
    for line in lines[at + 1:]:
        m = PRESS.match(line)
        if not m:
            break
        found.append((m.group(2), float(m.group(4) or 0.0)))
    return found


def play(path, line, step):
    """Returns (won, what happened)."""
    def prepare(data):
        shutil.copy(path, os.path.join(data, "maps", "level0.xml"))

    name = os.path.splitext(os.path.basename(path))[0]
    with GameRun(f"play-{name}", prepare=prepare, env={"TUMBIX_FIXED_STEP": str(step)}) as run:
        run.wait_line("Level consists of", timeout=60, exact=False)
        run.wait_frames(3)
        run._pending()
        start = len(run.frames)
        for key, when in line:
            run._pending()  # the frames drawn so far
            if key == "space":
                run.key("space", hold=0.02)
                start = len(run.frames)
                continue
            # a tenth of a second into the window: the main loop updates the
            # game twice a frame, each update by the fixed step
            wait = round((when + 0.1) / (2 * step)) - (len(run.frames) - start)
            if wait > 0:
                run.wait_frames(wait)
            run.key(key.lower(), hold=0.02)
        # the last steps, then Space loads the next level once this one is won
        run.wait_frames(round(3.0 / (2 * step)))
        won = False
        for _ in range(60):
            run.key("space", hold=0.02)
            if any("Level consists of" in l for l in run.drain(0.5)):
                won = True
                break
        refused = [l for l in run.lines if "can't rotate" in l]
        run.key("Escape")
        run.wait_exit()
        collected = [l for l in run.lines if l.startswith("collected ")]
        complete = bool(collected) and re.match(r"collected (\d+) of \1 ", collected[-1]) is not None
        return won and complete and not refused, (collected[-1] if collected else "nothing collected") + (
            f"; refused: {refused}" if refused else "")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--step", type=float, default=1 / 120, help="game seconds per update (default 1/120)")
    parser.add_argument("levels", nargs="+")
    args = parser.parse_args()
    os.environ.setdefault("TUMBIX_BINARY", os.path.join(args.build, "tumbix"))
    failed = 0
    for level in args.levels:
        path = level if os.path.exists(level) else os.path.join(ROOT, "data", "maps", level)
        line = presses(os.path.join(args.build, "levelcheck"), path)
        won, what = play(path, line, args.step)
        turns = sum(1 for k, _ in line if k != "space")
        print(f"{os.path.basename(path)}: {'won' if won else 'NOT WON'} with {turns} A or F presses ({what})")
        failed += not won
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
