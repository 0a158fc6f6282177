"""A short scripted demo of the game under Xvfb: plays the first level to
its goal, goes on to the second, turns a block there, and saves screenshots
and the console log to out/demo/."""
import os
import sys
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
OUT = os.path.join(ROOT, "out", "demo")
os.environ["TUMBIX_OUT"] = OUT
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from harness import GameRun  # noqa: E402

SCRIPT = [  # (seconds to wait first, key or None, screenshot name or None)
    (0.5, None, "01-start.png"),
    (0.0, "space", None),
    (0.8, None, "02-rolling.png"),
]


def play_first_level(run):
    """Level 0 needs nothing but the space bar: roll, collect, enter the goal,
    then space again for the next level."""
    run.wait_line("collected 1 of 1 collectables!", timeout=30)
    run.screenshot("03-collected.png")
    run.press_until("space", "next level is level2.xml")
    run.wait_line("Level consists of", timeout=10, exact=False)
    time.sleep(1.0)
    run.screenshot("04-next-level.png")
    run.key("f")  # a turn on the second level (refused where it cannot turn)
    time.sleep(0.3)
    run.screenshot("05-turning.png")
    run.key("F3")
    time.sleep(0.5)
    run.screenshot("06-wireframe.png")
    run.key("F3")
    time.sleep(1.5)
    run.screenshot("07-end.png")


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
        play_first_level(run)
        run.key("Escape")
        rc = run.wait_exit()
        run.save_log("console.log")
    print(f"demo finished with status {rc}")
    print(f"screenshots and console log: {OUT}")
    return rc


if __name__ == "__main__":
    sys.exit(main())
