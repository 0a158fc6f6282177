#!/usr/bin/env python3
"""Takes the editor screenshot of README.md and docs/levels.md: a shipped
level open in tumbix-edit under Xvfb with its verdict, a face under the
pointer. Usage: tools/editor_screenshot.py [OUT.png] (default docs/editor.png)."""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import GameRun  # noqa: E402

EDITOR = os.environ.get("TUMBIX_EDITOR", os.path.join(ROOT, "build", "tumbix-edit"))


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs", "editor.png"))
    with GameRun("editor-screenshot", binary=EDITOR, args=["maps/level18.xml"]) as run:
        run.wait_line("editor ready")
        run.wait_line("verdict: winnable", exact=False, timeout=120)
        run.xdo("mousemove", "560", "560")
        time.sleep(1.0)
        shot = run.screenshot("editor-screenshot.png")
        run.key("Escape")
    subprocess.run(["convert", shot, "-resize", "50%", out], check=True)
    print(out)


if __name__ == "__main__":
    main()
