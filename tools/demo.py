"""A short scripted demo of the game under Xvfb: starts the first level,
turns a block, lets the avatar roll, and saves screenshots and the console
log to out/demo/."""
import os
import sys
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
OUT = os.path.join(ROOT, "out", "demo")
os.environ["TUMBIX_OUT"] = OUT
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from harness import GameRun  # noqa: E402

SCRIPT = [  # (seconds to wait first, key or None, screenshot name or None)
    (1.5, None, "01-start.png"),
    (0.0, "space", None),
    (0.6, None, "02-rolling.png"),
    (0.2, "a", None),
    (0.2, None, "03-turning.png"),
    (1.5, None, "04-later.png"),
    (0.0, "F3", None),
    (0.5, None, "05-wireframe.png"),
    (0.0, "F3", None),
    (2.0, None, "06-end.png"),
]


def main():
    os.makedirs(OUT, exist_ok=True)
    with GameRun("demo") as run:
        run.wait_line("Level consists of", timeout=60, exact=False)
        for delay, key, shot in SCRIPT:
            time.sleep(delay)
            if key:
                run.key(key)
            if shot:
                run.screenshot(shot)
        run.key("Escape")
        rc = run.wait_exit()
        run.save_log("console.log")
    print(f"demo finished with status {rc}")
    print(f"screenshots and console log: {OUT}")
    return rc


if __name__ == "__main__":
    sys.exit(main())
