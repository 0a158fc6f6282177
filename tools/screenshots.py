"""Regenerates the README's pictures in docs/ from a scripted play
(tools/demo.py --frames): three screenshots (full size, 256 colours, each
under 300 KB) and a short animation of the first level being played.

    python3 tools/screenshots.py [--binary build/tumbix]     (or: make screenshots)

Needs the built game, Xvfb, xdotool and ImageMagick.
"""
import argparse
import glob
import os
import shutil
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
DEMO = os.path.join(ROOT, "out", "demo")
DOCS = os.path.join(ROOT, "docs")
STILLS = {  # demo screenshot -> README picture
    "02-rolling.png": "screenshot-rolling.png",
    "03-collected.png": "screenshot-collected.png",
    "05-turning.png": "screenshot-turning.png",
}
ANIMATION = "tumbix-play.gif"
ANIMATION_WIDTH = 400
LIMIT = 300 * 1024
PNG_OPTIONS = ["-strip", "-define", "png:exclude-chunks=date,time", "-define", "png:compression-level=9"]


def magick(*args):
    return subprocess.run(["convert", *args], check=True, capture_output=True, text=True).stdout


def is_blank(frame):
    """A frame taken before the game's first picture reached the screen."""
    return float(magick(frame, "-format", "%[fx:standard_deviation]", "info:")) < 0.01


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--binary", default=os.path.join(ROOT, "build", "tumbix"))
    args = ap.parse_args()
    env = {**os.environ, "TUMBIX_BINARY": os.path.abspath(args.binary)}
    subprocess.run([sys.executable, os.path.join(ROOT, "tools", "demo.py"), "--frames"], env=env, check=True)

    for src, dst in STILLS.items():
        path = os.path.join(DOCS, dst)
        # The textures' fine noise makes true-colour PNGs large; 256 colours
        # without dithering look the same at full size.
        magick(os.path.join(DEMO, src), "+dither", "-colors", "256", *PNG_OPTIONS, path)
        size = os.path.getsize(path)
        print(f"{path}: {size // 1024} KB")
        if size >= LIMIT:
            print(f"{dst} is over {LIMIT // 1024} KB", file=sys.stderr)
            return 1

    folder = os.path.join(DEMO, "frames")
    frames = sorted(glob.glob(os.path.join(folder, "*.xwd")))
    with open(os.path.join(folder, "times.txt")) as f:
        times = [float(t) for t in f.read().split()]
    while frames and is_blank(frames[0]):
        frames.pop(0)
        times.pop(0)
    if len(frames) < 2:
        print("too few frames recorded", file=sys.stderr)
        return 1
    # Each frame shows until the next was taken; the last one a little longer.
    delays = [round((b - a) * 100) for a, b in zip(times, times[1:])] + [150]
    sequence = []
    for frame, delay in zip(frames, delays):
        sequence += ["-delay", str(delay), frame]
    gif = os.path.join(DOCS, ANIMATION)
    magick(*sequence, "-filter", "Lanczos", "-resize", f"{ANIMATION_WIDTH}x",
           "+dither", "-colors", "64", "-layers", "OptimizePlus", "-loop", "0", gif)
    print(f"{gif}: {len(frames)} frames, {sum(delays) / 100:.1f} s, {os.path.getsize(gif) // 1024} KB")
    shutil.rmtree(folder)  # 5 MB a frame
    return 0


if __name__ == "__main__":
    sys.exit(main())
