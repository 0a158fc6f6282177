"""The window on screens of different sizes, and its icon.

The game draws 1280 x 1024 frames. A screen that holds that window gets it
as it is; on a smaller one (1366 x 768, common on laptops) the window is the
largest of the same shape that fits and shows the whole frame scaled, the
HUD's bottom line included.
"""
import os
import re
import subprocess
import tempfile
import unittest

from harness import E2ECase, GameRun, OUT, grab_screen, save_rgb

# Screen, the window expected on it, and whether the frames are scaled.
SCREENS = [((1280, 1024), (1280, 1024), False), ((1366, 768), (960, 768), True), ((1024, 600), (750, 600), True)]

# The HUD's "collected: 0 / 1" line sits at a quarter of the frame's height
# from its bottom: rows 760..776 of 1024 hold its text.
HUD_BAND = (100, 755, 300, 25)  # x, y, w, h in frame pixels


def geometry(run):
    r = subprocess.run(["xdotool", "getwindowgeometry", str(run.window_id())], env=run.env, capture_output=True,
                       text=True, check=True)
    pos = re.search(r"Position: (-?\d+),(-?\d+)", r.stdout)
    size = re.search(r"Geometry: (\d+)x(\d+)", r.stdout)
    return (int(pos.group(1)), int(pos.group(2))), (int(size.group(1)), int(size.group(2)))


def crop(rgb, width, box):
    x0, y0, w, h = box
    return b"".join(rgb[3 * ((y0 + y) * width + x0): 3 * ((y0 + y) * width + x0 + w)] for y in range(h))


def resize(rgb, size, to):
    """RGB bytes of `size` scaled to `to` (ImageMagick, box filter)."""
    r = subprocess.run(["convert", "-size", f"{size[0]}x{size[1]}", "-depth", "8", "rgb:-", "-filter", "box",
                        "-resize", f"{to[0]}x{to[1]}!", "-depth", "8", "rgb:-"], input=rgb, capture_output=True,
                       check=True, timeout=60)
    return r.stdout


def hud_pixels(rgb):
    """Pixels of the HUD's green text in RGB bytes."""
    return sum(1 for i in range(0, len(rgb), 3) if rgb[i + 1] > 150 and rgb[i] < 100 and rgb[i + 2] < 100)


def differing_share(a, b, tolerance=48):
    n = len(a) // 3
    bad = sum(1 for i in range(0, len(a), 3)
              if max(abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]), abs(a[i + 2] - b[i + 2])) > tolerance)
    return bad / n


class Screens(E2ECase):
    def settled_frame(self, screen, look=None):
        """The first level at its start on `screen` in the default view (the
        pointer starts at the screen's centre, which turns the camera where
        that is not the window's): the window's position and size, the
        console, and the screen's pixels. `look(run)` may look further."""
        name = f"screen-{screen[0]}x{screen[1]}"
        with GameRun(name, screen=screen) as run:
            run.wait_line("Level consists of", exact=False, timeout=60)
            run.wait_frames(3)
            run.xdo("mousedown", "1")  # held: the default view
            run.wait_frames(3)
            run.xdo("mouseup", "1")
            run.settle()
            rgb = grab_screen(run.xvfb.display, *screen)
            save_rgb(rgb, os.path.join(OUT, f"{name}.png"), *screen)
            if look:
                look(run)
            return geometry(run), list(run.lines), rgb

    def test_window_fits_the_screen_and_shows_the_whole_frame(self):
        frame = (1280, 1024)
        full = None
        for screen, window, scaled in SCREENS:
            with self.subTest(screen=screen):
                ((x, y), size), lines, rgb = self.settled_frame(screen)
                self.assertEqual(size, window)
                self.assertTrue(0 <= x and x + size[0] <= screen[0] and 0 <= y and y + size[1] <= screen[1],
                                f"window at {(x, y)} of size {size} is not inside the screen {screen}")
                notice = [line for line in lines if line.startswith("screen work area")]
                errors = [line for line in lines if "ERROR" in line or "WARN" in line or "GL error" in line]
                self.assertEqual(errors, [])
                if not scaled:
                    self.assertEqual(notice, [])
                    full = crop(rgb, screen[0], (0, 0, *frame))
                    self.assertGreater(hud_pixels(crop(full, frame[0], HUD_BAND)), 50, "no HUD line in the frame")
                    continue
                self.assertEqual(notice, [f"screen work area {screen[0]}x{screen[1]}: 1280x1024 frames shown in a "
                                          f"window of {window[0]}x{window[1]}"])
                # The window's pixels are the full-size frame scaled: the same
                # picture (the step counter and a spinning collectable differ
                # a little), the HUD's bottom line where it belongs.
                shown = crop(rgb, screen[0], (x, y, *window))
                expected = resize(full, frame, window)
                self.assertLess(differing_share(shown, expected), 0.02)
                k = window[0] / frame[0]
                band = tuple(round(v * k) for v in HUD_BAND)
                self.assertGreater(hud_pixels(crop(shown, window[0], band)), 20, "the HUD's bottom line is not shown")

    def test_window_icon_is_the_games(self):
        found = []
        self.settled_frame((1280, 1024), look=lambda run: found.append(subprocess.run(
            ["xprop", "-id", str(run.window_id()), "-notype", "32c", "_NET_WM_ICON"], env=run.env,
            capture_output=True, text=True, check=True)))
        r = found[0]
        values = [int(v) for v in re.findall(r"-?\d+", r.stdout.split("=", 1)[1])] if "=" in r.stdout else []
        sizes = []
        while len(values) >= 2:
            w, h = values[0], values[1]
            sizes.append((w, h))
            values = values[2 + w * h:]
        self.assertEqual(sorted(sizes), [(16, 16), (32, 32), (48, 48)], r.stdout[:200])


if __name__ == "__main__":
    unittest.main()
