"""Every saving in the scene drawing is proven invisible. With
TUMBIX_RENDER_COMPARE the game draws each frame twice: the plain way (every
face of every block in both passes, no depth pre-pass, the same shaders) and
the usual way; it reads back colour and depth of both and its frame line
says how many pixels differ and how many of those are depth ties: the
depth buffers hold the same depth there (to within four steps of the
buffer's rounding), so two faces met the pixel at one depth, on an edge
they share, and the drawing order or the rounding alone chose which one
shows (the usual drawing sends faces in another order, and leaves out
faces between touching blocks, which the outside faces cover from their
shared edges on). Any other differing pixel
fails, and so do more than MAX_TIES ties in a frame: both drawings run the
same shaders on the same GL, so an invisible saving gives exactly the same
bytes and no tolerance is needed.

Cases: every shipped level at its start; a wall standing on a block (the
shadow seam) and the eye inside the structure, each under all eight
combinations of wireframe (F3), buffer mode (F6) and transparency (F9); the
eye inside a lone block; the turning block mid-turn; a wall climb, where the
default camera passes through the structure.
"""
import glob
import os
import shutil
import unittest

from harness import DATA, E2ECase, GameRun
from test_render import SHADOW_LEVEL, TURN_LEVEL, level_xml, with_level

COMPARE = {"TUMBIX_RENDER_COMPARE": "1"}
# Depth ties a frame may show (pixels on shared edges whose winner follows
# the drawing order).
MAX_TIES = 4

# The reset camera looks from (0, 1.8, 3) at (0, 0.8, 0.5). Here the eye is
# inside the block at (0, 2, 3), which stands on a column behind the start.
EYE_IN_BLOCK_LEVEL = level_xml((5, 9, 4), [(0, 0, 0), (0, 0, -1), (0, 0, -2, '<goal face="top" />'),
                                           (0, 0, 1), (0, 0, 2), (0, 0, 3), (0, 1, 3), (0, 2, 3)])
# The same eye block with neighbours ahead and to both sides: the faces
# they share with it are what the eye meets.
INSIDE_LEVEL = level_xml((5, 9, 4), [(0, 0, 0), (0, 0, -1), (0, 0, -2, '<goal face="top" />'),
                                     (0, 0, 1), (0, 0, 2), (0, 0, 3), (0, 1, 3), (0, 2, 3),
                                     (0, 2, 2), (1, 2, 3), (-1, 2, 3), (1, 2, 2), (-1, 2, 2)])
# A lane up to a wall three blocks high with a deck on top that runs back
# over the lane: the avatar climbs the wall and the camera swings through
# the structure.
CLIMB_LEVEL = level_xml((7.6, 6.4, 0.5), [(0, 0, 1), (0, 0, 0), (0, 0, -1), (0, 0, -2), (0, 0, -3),
                                          (0, 1, -3), (0, 2, -3), (0, 3, -3, '<goal face="right" />'),
                                          (0, 3, -2), (0, 3, -1), (0, 3, 0), (0, 3, 1), (1, 3, 1),
                                          (2, 3, 1), (3, 3, 1)], ambient=(0.21, 0.2, 0.26))

# Visits all eight combinations of the three switches, one key at a time.
TOGGLES = [("F3", "Switching between polygon/wireframe mode"), ("F6", "Turning VBOs"),
           ("F3", "Switching between polygon/wireframe mode"), ("F9", "transparency"),
           ("F3", "Switching between polygon/wireframe mode"), ("F6", "Turning VBOs"),
           ("F3", "Switching between polygon/wireframe mode")]


def starting_at(name):
    """A prepare callback: the shipped level `name` becomes maps/level0.xml."""
    def prepare(data):
        if name != "level0.xml":
            shutil.copy(os.path.join(data, "maps", name), os.path.join(data, "maps", "level0.xml"))
    return prepare


class ReferenceImage(E2ECase):
    def assertSameImage(self, frames, what):
        differing = [f.differing for f in frames]
        self.assertTrue(differing and None not in differing, f"{what}: frames not compared: {differing}")
        unexplained = [f.differing - f.ties for f in frames]
        self.assertEqual(max(unexplained), 0,
                         f"{what}: pixels differing from the reference per frame, not at depth ties: {unexplained}")
        ties = [f.ties for f in frames]
        self.assertLessEqual(max(ties), MAX_TIES, f"{what}: depth ties per frame: {ties}")

    def started(self, run):
        run.wait_line("Level consists of", exact=False, timeout=60)
        return run.wait_frames(3)

    def test_shipped_levels_at_the_start(self):
        levels = sorted(os.path.basename(p) for p in glob.glob(os.path.join(DATA, "maps", "*.xml")))
        self.assertTrue(levels)
        for name in levels:
            with self.subTest(name), GameRun(f"reference-{name[:-4]}", env=COMPARE,
                                             prepare=starting_at(name)) as run:
                self.assertSameImage(self.started(run), name)

    def test_every_render_switch_with_a_wall_on_a_block_and_the_eye_inside_the_structure(self):
        for name, xml in [("wall-on-block", SHADOW_LEVEL), ("inside", INSIDE_LEVEL)]:
            with self.subTest(name), GameRun(f"reference-{name}", env=COMPARE, prepare=with_level(xml)) as run:
                with self.subTest(f"{name} at the start"):
                    self.assertSameImage(self.started(run), f"{name}, start")
                state = []
                for key, line in TOGGLES:
                    run.key(key)
                    at = run.wait_line(line, exact=False)
                    state.append(key)
                    with self.subTest(f"{name} after {' '.join(state)}"):
                        self.assertSameImage(run.wait_frames(3, after=at), f"{name} after {state}")

    def test_eye_inside_a_block(self):
        with GameRun("reference-eye-in-block", env=COMPARE, prepare=with_level(EYE_IN_BLOCK_LEVEL)) as run:
            self.assertSameImage(self.started(run), "eye in block")

    def test_turning_block_mid_turn(self):
        with GameRun("reference-turn", env=COMPARE, prepare=with_level(TURN_LEVEL)) as run:
            self.started(run)
            run.key("space", hold=0.02)
            run.wait_frames(1)
            run.key("a", hold=0.02)
            at = run.wait_line("rotate left")
            run.wait_frames(1, after=at)
            run.key("p", hold=0.02)  # held mid-turn
            run.wait_line("pause")
            run.wait_frames(3)
            self.assertSameImage(run.frames_after(at), "turn")

    def test_wall_climb(self):
        # The first 4 s of play (the roll to the wall, the climb and the
        # first steps up the wall) at the same moments on any machine: each
        # update step advances the game by 1/240 s, two a frame, so frames
        # are 1/120 s of play apart. Faults show at single moments.
        env = dict(COMPARE, TUMBIX_FIXED_STEP=str(1 / 240))
        with GameRun("reference-climb", env=env, prepare=with_level(CLIMB_LEVEL)) as run:
            self.started(run)
            run.key("space")
            self.assertSameImage(run.wait_frames(480, timeout=600), "climb")


if __name__ == "__main__":
    unittest.main()
