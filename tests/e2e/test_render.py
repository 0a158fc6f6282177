"""The rendered scene: shadows, polygon modes, buffer and client-array
drawing, shader compilation in every context kind, and a played level
without OpenGL errors. Screenshots of the first level, a roll, a turn and a
wall bounce are written to out/render/ for people to look at.

The camera stays at its reset pose (nobody moves the mouse), so a test
level's blocks land on pixels computed here from the same view and
projection the game uses.
"""
import math
import os
import re
import subprocess
import time
import unittest

from harness import ROOT, E2ECase, GameRun

SHOTS = os.environ.get("TUMBIX_RENDER_OUT", os.path.join(ROOT, "out", "render"))
WIDTH, HEIGHT = 1280, 1024


def level_xml(light, blocks, ambient=(0.25, 0.25, 0.3)):
    """A level file; blocks are (x, y, z) or (x, y, z, inner xml)."""
    lines = ['<?xml version="1.0" ?>', '<map next="level0.xml">',
             f'    <level r="{ambient[0]}" g="{ambient[1]}" b="{ambient[2]}">',
             f'        <light x="{light[0]}" y="{light[1]}" z="{light[2]}" r="1" g="1" b="1" />']
    for b in blocks:
        attrs = f'x="{b[0]}" y="{b[1]}" z="{b[2]}"'
        lines.append(f"        <block {attrs}>{b[3]}</block>" if len(b) > 3 else f"        <block {attrs} />")
    return "\n".join(lines + ["    </level>", "</map>", ""])


GOAL = '<goal face="top" />'

# A 3 x 4 floor with a two-block column at (1, *, -2); the light low on the
# right throws the column's shadow across the row z = -2.
SHADOW_LEVEL = level_xml((8, 6, -2), [(0, 0, 0), (-1, 0, 0), (1, 0, 0, GOAL)] +
                         [(x, 0, z) for z in (-1, -2, -3) for x in (-1, 0, 1)] + [(1, 1, -2), (1, 2, -2)])
# A lane along -Z with collectables on the sides: the first block may turn.
TURN_LEVEL = level_xml((5, 9, 4), [(0, 0, 0, '<collectable face="right" />'), (0, 0, -1),
                                   (0, 0, -2, '<collectable face="left" />'), (0, 0, -3, GOAL)])
# A lane along -Z: one collectable, and the goal two blocks past it.
GOAL_OPENS_LEVEL = level_xml((5, 9, 4), [(0, 0, 0), (0, 0, -1, '<collectable face="top" />'), (0, 0, -2),
                                         (0, 0, -3, GOAL), (0, 0, -4)])
# The avatar rolls one block and meets a wall.
WALL_LEVEL = level_xml((5, 9, 4), [(0, 0, 0), (0, 0, -1), (0, 0, -2), (0, 1, -2), (0, 2, -2), (-1, 0, -1),
                                   (1, 0, -1), (-1, 0, 0), (1, 0, 0, GOAL), (1, 1, -2), (-1, 1, -2),
                                   (-1, 0, -2), (1, 0, -2)])


def with_level(xml):
    def prepare(data):
        with open(os.path.join(data, "maps", "level0.xml"), "w") as f:
            f.write(xml)
    return prepare


# Sample points of SHADOW_LEVEL, all well above the HUD line at mid-screen:
# a floor face in the column's shadow, and one on the far row the shadow
# does not reach.
SHADOWED_FLOOR = (-1.0, 0.5, -2.0)
LIT_FLOOR = (-1.0, 0.5, -3.15)


# --- the game's reset camera, for placing test points on the screen -----
def _sub(a, b):
    return [a[i] - b[i] for i in range(3)]


def _cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def _norm(a):
    n = math.sqrt(sum(c * c for c in a))
    return [c / n for c in a]


def project(p, eye=(0.0, 1.8, 3.0), centre=(0.0, 0.8, 0.5), up=(0.0, 1.0, 0.0)):
    """Pixel (x, y from the top) of world point p seen by the reset camera."""
    f = _norm(_sub(centre, eye))
    s = _norm(_cross(f, up))
    u = _cross(s, f)
    d = _sub(p, eye)
    ex, ey, ez = sum(s[i] * d[i] for i in range(3)), sum(u[i] * d[i] for i in range(3)), -sum(f[i] * d[i] for i in range(3))
    focal = 1.0 / math.tan(math.radians(30.0))
    nx, ny = focal / (4.0 / 3.0) * ex / -ez, focal * ey / -ez
    return int((nx + 1) / 2 * WIDTH), int((1 - ny) / 2 * HEIGHT)


# --- screenshots ---------------------------------------------------------
class Image:
    """An RGB screenshot read through ImageMagick."""

    def __init__(self, path):
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
        self.path, self.raw = path, raw
        self.width = WIDTH
        self.height = len(raw) // (3 * WIDTH)

    def luminance(self, x, y):
        i = 3 * (y * self.width + x)
        r, g, b = self.raw[i:i + 3]
        return 0.299 * r + 0.587 * g + 0.114 * b

    def mean(self, centre, half=12):
        cx, cy = centre
        values = [self.luminance(x, y) for y in range(cy - half, cy + half + 1) for x in range(cx - half, cx + half + 1)]
        return sum(values) / len(values)

    def differing(self, other, box, tolerance=2):
        """Pixels inside box (x0, y0, x1, y1) where a channel differs by more than tolerance."""
        x0, y0, x1, y1 = box
        count = 0
        for y in range(y0, y1):
            row = 3 * y * self.width
            a = self.raw[row + 3 * x0: row + 3 * x1]
            b = other.raw[row + 3 * x0: row + 3 * x1]
            for i in range(0, len(a), 3):
                if max(abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]), abs(a[i + 2] - b[i + 2])) > tolerance:
                    count += 1
        return count


def shoot(run, name):
    """Saves the screen as out/render/<name>.png and returns the image."""
    os.makedirs(SHOTS, exist_ok=True)
    path = os.path.join(SHOTS, name + ".png")
    subprocess.run(["import", "-display", run.xvfb.display, "-window", "root", path],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30, check=True)
    return Image(path)


def started(run, settle=True):
    """Waits for the first level and frames of it; with settle, for frames
    drawn after the start-up messages have expired."""
    run.wait_line("Level consists of", exact=False, timeout=60)
    if settle:
        run.settle()
    else:
        run.wait_frames(3)


def gl_errors(lines):
    return [line for line in lines if line.startswith("GL ERROR")]


# The scene area, without the step counter at the top right.
SCENE_BOX = (0, 0, 1100, HEIGHT)


class Shadows(E2ECase):
    def test_column_shadow_is_darker_than_the_same_floor_lit(self):
        with GameRun("render-shadow", prepare=with_level(SHADOW_LEVEL)) as run:
            started(run)
            image = shoot(run, "shadow_test")
            shadowed = image.mean(project(SHADOWED_FLOOR), 8)
            lit = image.mean(project(LIT_FLOOR), 5)
            self.assertGreater(lit, 60, "the lit floor is not lit: is the scene drawn and textured?")
            self.assertLess(shadowed, 0.6 * lit, f"shadowed {shadowed:.1f} vs lit {lit:.1f}")
            self.assertEqual(gl_errors(run.lines), [])


class PolygonModes(E2ECase):
    def test_wireframe_differs_from_filled_and_back(self):
        with GameRun("render-wireframe", prepare=with_level(SHADOW_LEVEL)) as run:
            started(run)
            filled = shoot(run, "filled")
            run.key("F3")
            run.wait_line("Switching between polygon/wireframe mode")
            run.settle()
            wire = shoot(run, "wireframe")
            # The middle of a lit floor face is background in wireframe.
            floor = project(LIT_FLOOR)
            self.assertGreater(filled.mean(floor, 5), wire.mean(floor, 5) + 40)
            self.assertGreater(filled.differing(wire, SCENE_BOX), 50000)
            run.key("F3")
            run.wait_line("Switching between polygon/wireframe mode")
            run.settle()
            again = shoot(run, "filled_again")
            self.assertLess(filled.differing(again, SCENE_BOX), 50)
            self.assertEqual(gl_errors(run.lines), [])


class BufferModes(E2ECase):
    def test_buffer_and_client_array_drawing_give_the_same_image(self):
        with GameRun("render-vbo", prepare=with_level(SHADOW_LEVEL)) as run:
            started(run)
            client = shoot(run, "client_arrays")
            run.key("F6")
            run.wait_line("Turning VBOs ON")
            run.settle()
            buffers = shoot(run, "buffer_objects")
            self.assertGreater(client.mean(project(LIT_FLOOR), 5), 60)
            self.assertLess(client.differing(buffers, SCENE_BOX), 50)
            self.assertEqual(gl_errors(run.lines), [])

    def test_a_goal_opened_in_play_is_open_in_the_buffers_too(self):
        # Play runs with client arrays; the buffers are kept up to date
        # meanwhile from the blocks the rules report, and show the open goal
        # once switched on.
        with GameRun("render-vbo-goal", prepare=with_level(GOAL_OPENS_LEVEL)) as run:
            started(run, settle=False)
            run.key("space")
            run.wait_line("collected 1 of 1 collectables!")
            run.key("p")
            run.wait_line("pause")
            run.settle()
            client = shoot(run, "goal_open_client_arrays")
            run.key("F6")
            run.wait_line("Turning VBOs ON")
            run.settle()
            buffers = shoot(run, "goal_open_buffer_objects")
            self.assertLess(client.differing(buffers, SCENE_BOX), 50)
            self.assertEqual(gl_errors(run.lines), [])


class ShaderContexts(E2ECase):
    """The scene and shadow shaders compile and link in the 3.0 and the
    legacy 2.1 context the start-up may end up with."""

    def check(self, gl, glsl):
        env = {"MESA_GL_VERSION_OVERRIDE": gl, "MESA_GLSL_VERSION_OVERRIDE": glsl}
        with GameRun(f"render-gl{gl}", env=env) as run:
            started(run, settle=False)  # frames drawn with both programs
            lines = run.lines
            self.assertTrue(any(line.startswith("OpenGL Version: " + gl) for line in lines), lines[:20])
            self.assertEqual([line for line in lines if "error" in line.lower() and "Shader" in line], [])
            # scene and shadow programs, and the text program once the font is up
            self.assertGreaterEqual(sum(line == "Shader-program linked successfully." for line in lines), 2)
            self.assertEqual(gl_errors(lines), [])

    def test_opengl_3_0_glsl_130(self):
        self.check("3.0", "130")

    def test_opengl_2_1_glsl_120(self):
        self.check("2.1", "120")

    def test_opengl_2_1_without_framebuffer_objects_draws_textured_without_shadows(self):
        # Such a driver has no glGenerateMipmap either: the textures need the
        # mipmap chain built by the game, or they sample black.
        env = {"MESA_GL_VERSION_OVERRIDE": "2.1", "MESA_GLSL_VERSION_OVERRIDE": "120",
               "MESA_EXTENSION_OVERRIDE": "-GL_ARB_framebuffer_object"}
        with GameRun("render-no-fbo", env=env, prepare=with_level(SHADOW_LEVEL)) as run:
            started(run)
            self.assertIn("ERROR: no support for framebuffer objects, drawing without shadows", run.lines)
            image = shoot(run, "no_framebuffer_objects")
            lit = image.mean(project(LIT_FLOOR), 5)
            self.assertGreater(lit, 60, "the floor is not textured")
            # no shadow: the floor behind the column is as bright as the lit one
            self.assertGreater(image.mean(project(SHADOWED_FLOOR), 8), 0.8 * lit)
            self.assertEqual(gl_errors(run.lines), [])


class PlayedLevel(E2ECase):
    """In a build with TUMBIX_GL_CHECK every frame ends with a glGetError
    check; a whole played level with every render toggle must stay silent."""

    def test_no_gl_error_while_playing_the_first_level(self):
        with GameRun("render-play") as run:
            started(run, settle=False)
            shoot(run, "first_level")
            run.key("space")
            # each key's state is drawn for a few frames before the next key
            for key in ["a", "F6", "f", "F3", "F3", "F9", "a", "F6", "F9", "f", "F4", "F5"]:
                run.wait_frames(4)
                run.key(key)
            run.wait_frames(10)
            self.assertEqual(gl_errors(run.lines), [])
            run.key("Escape")
            self.assertEqual(run.wait_exit(), 0)
            self.assertEqual(gl_errors(run.lines), [])


class Screenshots(E2ECase):
    """Moments of play, paused with P and saved for people to judge."""

    def paused_shot(self, name, xml, keys, pause_after):
        """The waits here choose a moment of play (the game moves by its
        clock); the screenshot itself waits for frames of the paused game."""
        with GameRun(f"render-{name}", prepare=with_level(xml) if xml else None) as run:
            started(run, settle=False)
            for key, wait in keys:
                run.key(key, hold=0.02)
                time.sleep(wait)
            time.sleep(pause_after)
            run.key("p", hold=0.02)
            run.wait_line("pause")
            run.wait_frames(3)
            shoot(run, name)
            self.assertEqual(gl_errors(run.lines), [])

    def test_avatar_mid_roll(self):
        self.paused_shot("avatar_mid_roll", None, [("space", 0.0)], 0.2)

    def test_turn_in_progress(self):
        self.paused_shot("turn_in_progress", TURN_LEVEL, [("space", 0.05), ("a", 0.0)], 0.1)

    def test_wall_bounce(self):
        self.paused_shot("wall_bounce", WALL_LEVEL, [("space", 0.0)], 0.85)


if __name__ == "__main__":
    unittest.main()
