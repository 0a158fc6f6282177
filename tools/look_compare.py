#!/usr/bin/env python3
"""Side by side: the look of this build against the shaders of another
commit, at fixed moments of play across the campaign.

For each moment (a level and a number of 1/120 s steps after Space, as in
bench/cost) build/bench/frame_cost draws the frame twice under Xvfb: with
the data/ of this tree (the usual drawing), and as the other version draws
it: --against TREE, another checkout with bench/frame_cost built in
TREE/build (from this tree's bench/frame_cost.cpp, which writes the frame),
run on its own data/; or --against COMMIT, this program with "shader.vert"
and "shader.frag" taken from that commit, drawn the plain way
(TUMBIX_RENDER_REFERENCE), which shows the shaders' share alone. It
prints a table of the share of pixels where any channel differs by more
than 2/255 and by more than 16/255, and the largest difference, and writes
crops around the largest differences (old | new | difference x8), scaled
up, as PNG into --crops.

Usage: tools/look_compare.py [--against TREE|COMMIT] [--build DIR] [--crops DIR] [--display :N] [LEVEL:STEPS ...]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
WIDTH, HEIGHT = 1280, 1024
# Moments across the campaign: starts, rolls, climbs, the largest levels.
MOMENTS = ["level0:0", "level0:240", "level3:300", "level8:240", "level12:240", "level16:300", "level17:240",
           "level17:480", "level19:240", "level23:360", "level67:360", "level74:240"]
CROP = 48  # pixels each side of the crop's centre


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    parts = data.split(b"\n", 3)
    if parts[0] != b"P6" or parts[1] != f"{WIDTH} {HEIGHT}".encode():
        raise RuntimeError(f"{path}: not a {WIDTH}x{HEIGHT} PPM")
    return parts[3]


def frame(binary, data, env, steps, out):
    subprocess.run([binary, str(steps), "1", out], cwd=data, env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True, timeout=600)
    return read_ppm(out)


def compare(old, new):
    """Returns (share > 2/255, share > 16/255, largest, (x, y) of the largest)."""
    over2 = over16 = 0
    largest, where = 0, (0, 0)
    for p in range(0, len(old), 3):
        d = max(abs(old[p] - new[p]), abs(old[p + 1] - new[p + 1]), abs(old[p + 2] - new[p + 2]))
        if d > 2:
            over2 += 1
            if d > 16:
                over16 += 1
        if d > largest:
            largest, where = d, ((p // 3) % WIDTH, (p // 3) // WIDTH)
    pixels = WIDTH * HEIGHT
    return over2 / pixels, over16 / pixels, largest, where


def crop(old_ppm, new_ppm, where, out):
    x = min(max(where[0] - CROP, 0), WIDTH - 2 * CROP)
    y = min(max(where[1] - CROP, 0), HEIGHT - 2 * CROP)
    box = f"{2 * CROP}x{2 * CROP}+{x}+{y}"
    subprocess.run(["convert", old_ppm, new_ppm, "-crop", box, "+repage",
                    "(", "-clone", "0", "-clone", "1", "-compose", "difference", "-composite",
                    "-evaluate", "multiply", "8", ")",
                    "-scale", "300%", "+append", "-depth", "8", "PNG24:" + out], check=True)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--against", default="main", help="the commit whose shaders are 'old'")
    ap.add_argument("--build", default=os.path.join(ROOT, "build"))
    ap.add_argument("--crops", default=os.path.join(ROOT, "out", "look"))
    ap.add_argument("--display", default=None, help="an X display to use instead of a private Xvfb")
    ap.add_argument("moments", nargs="*")
    args = ap.parse_args()
    binary = os.path.join(os.path.abspath(args.build), "bench", "frame_cost")
    moments = args.moments or MOMENTS
    scratch = tempfile.mkdtemp(prefix="tumbix-look-")
    new_data, old_data = os.path.join(scratch, "new"), os.path.join(scratch, "old")
    shutil.copytree(os.path.join(ROOT, "data"), new_data)
    old_binary, old_env = binary, {"TUMBIX_RENDER_REFERENCE": "1"}
    if os.path.isdir(args.against):
        shutil.copytree(os.path.join(args.against, "data"), old_data)
        old_binary, old_env = os.path.join(os.path.abspath(args.against), "build", "bench", "frame_cost"), {}
    else:
        shutil.copytree(os.path.join(ROOT, "data"), old_data)
        for name in ("shader.vert", "shader.frag"):
            text = subprocess.run(["git", "-C", ROOT, "show", f"{args.against}:data/{name}"], check=True,
                                  stdout=subprocess.PIPE).stdout
            with open(os.path.join(old_data, name), "wb") as f:
                f.write(text)
    xvfb = None
    display = args.display
    if not display:
        sys.path.insert(0, os.path.join(ROOT, "bench"))
        import importlib.machinery
        import importlib.util
        loader = importlib.machinery.SourceFileLoader("fps", os.path.join(ROOT, "bench", "fps"))
        spec = importlib.util.spec_from_loader("fps", loader)
        fps = importlib.util.module_from_spec(spec)
        loader.exec_module(fps)
        xvfb = fps.Xvfb()
        display = xvfb.display
    env = {k: v for k, v in os.environ.items() if not k.startswith(("GALLIUM", "LIBGL", "LP_", "TUMBIX_"))}
    env.update(DISPLAY=display, SDL_AUDIODRIVER="dummy", LIBGL_ALWAYS_SOFTWARE="1", GALLIUM_DRIVER="llvmpipe")
    os.makedirs(args.crops, exist_ok=True)
    try:
        print(f"{'moment':<16}{'> 2/255':>10}{'> 16/255':>10}{'largest':>9}  at")
        for moment in moments:
            level, steps = moment.split(":")
            for data in (new_data, old_data):
                shutil.copyfile(os.path.join(ROOT, "data", "maps", level + ".xml"),
                                os.path.join(data, "maps", "level0.xml"))
            old_ppm, new_ppm = os.path.join(scratch, "old.ppm"), os.path.join(scratch, "new.ppm")
            old = frame(old_binary, old_data, dict(env, **old_env), int(steps), old_ppm)
            new = frame(binary, new_data, env, int(steps), new_ppm)
            over2, over16, largest, where = compare(old, new)
            print(f"{moment:<16}{over2:>10.4%}{over16:>10.4%}{largest:>9}  {where[0]},{where[1]}", flush=True)
            if largest > 0:
                crop(old_ppm, new_ppm, where, os.path.join(args.crops, f"{level}-{steps}.png"))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
        if xvfb:
            fps.stop(xvfb.proc)
    return 0


if __name__ == "__main__":
    sys.exit(main())
