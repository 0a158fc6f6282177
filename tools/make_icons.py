"""Renders the application icons from the game itself: the avatar, drawn by
the real program under Xvfb on a one-block level, cut out as a disc around
its cage and scaled to the icon theme's sizes.

    python3 tools/make_icons.py [--binary build/tumbix]

Writes packaging/icons/hicolor/<N>x<N>/apps/tumbix.png and the window icons
data/icons/tumbix-<N>.tga (committed; rerun
after the avatar's model or textures change). Needs the built game, Xvfb,
xdotool and ImageMagick.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
WINDOW_ICON_SIZES = [16, 32, 48]

# One block without a goal: the avatar rolls round it for ever, and a paused
# roll shows no centred HUD line.
ICON_LEVEL = """<?xml version="1.0" ?>
<map next="level0.xml">
    <level r="0.25" g="0.25" b="0.32">
        <light x="2.5" y="6" z="-4" r="1" g="1" b="0.9" />
        <block x="0" y="0" z="0" />
    </level>
</map>
"""


def magick(*args):
    return subprocess.run(["convert", *args], check=True, capture_output=True, text=True).stdout


def render_frame(binary, work):
    os.environ["TUMBIX_BINARY"] = os.path.abspath(binary)
    os.environ["TUMBIX_OUT"] = work
    sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
    from harness import GameRun

    def prepare(data):
        with open(os.path.join(data, "maps", "level0.xml"), "w") as f:
            f.write(ICON_LEVEL)

    with GameRun("icons", prepare=prepare) as run:
        run.wait_line("Level consists of", timeout=60, exact=False)
        for _ in range(6):  # six wheel notches closer
            run.xdo("click", "4")
            time.sleep(0.05)
        run.key("space")
        time.sleep(0.5)  # a quarter of the way over the first edge
        run.key("p")
        run.wait_line("pause")
        time.sleep(0.5)
        shot = run.screenshot("icon-frame.png")
        run.key("Escape")
        run.wait_exit()
    return shot


def cage_circle(shot):
    """Centre and radius of the cage: it is the only thing drawn in the
    screen's middle above the block (the HUD lies outside this window)."""
    x0, y0 = 240, 160
    box = magick(shot, "-crop", f"800x480+{x0}+{y0}", "+repage", "-fuzz", "2%",
                 "-format", "%@", "info:")
    size, ox, oy = box.split("+")
    w, _ = (int(v) for v in size.split("x"))
    r = w / 2.0
    return x0 + int(ox) + r, y0 + int(oy) + r, r


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--binary", default=os.path.join(ROOT, "build", "tumbix"))
    ap.add_argument("--out", default=os.path.join(ROOT, "packaging", "icons", "hicolor"))
    ap.add_argument("--data", default=os.path.join(ROOT, "data"), help="content folder for the window icons")
    ap.add_argument("--keep", action="store_true", help="keep the rendered frame")
    args = ap.parse_args()
    work = tempfile.mkdtemp(prefix="tumbix-icons-")
    shot = render_frame(args.binary, work)
    cx, cy, r = cage_circle(shot)
    r += 8
    side = int(2 * r) + 2
    left, top = int(cx - side / 2), int(cy - side / 2)
    big = os.path.join(work, "icon-512.png")
    # A disc a little wider than the cage, on the game's own dark background
    # (keying that out leaves dark fringes wherever the cage is shaded).
    magick(shot, "-crop", f"{side}x{side}+{left}+{top}", "+repage", "-alpha", "set",
           "(", "-size", f"{side}x{side}", "xc:none", "-fill", "white",
           "-draw", f"circle {side / 2},{side / 2} {side / 2},{side / 2 - r}", ")",
           "-compose", "DstIn", "-composite", "-compose", "Over",
           "-filter", "Lanczos", "-resize", "496x496", "-background", "none",
           "-gravity", "center", "-extent", "512x512", big)
    for n in SIZES:
        d = os.path.join(args.out, f"{n}x{n}", "apps")
        os.makedirs(d, exist_ok=True)
        dst = os.path.join(d, "tumbix.png")
        magick(big, "-filter", "Lanczos", "-resize", f"{n}x{n}", "-strip", "-depth", "8",
               "-define", "png:compression-level=9",
               "-define", "png:exclude-chunks=date,time", dst)
        print(dst)
        if n in WINDOW_ICON_SIZES:  # the window's own icon, read by the game from its content
            tga = os.path.join(args.data, "icons", f"tumbix-{n}.tga")
            os.makedirs(os.path.dirname(tga), exist_ok=True)
            magick(dst, "-type", "TrueColorAlpha", "-compress", "None", tga)
            print(tga)
    print(f"cage at ({cx:.0f}, {cy:.0f}), radius {r:.0f}")
    if args.keep:
        print(f"frame: {shot}")
    else:
        shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
