"""The campaign through the real program: the first level played with keys
until the next level loads, and screenshots of three levels for a look at
framing, light and shadows (out/e2e/levels-*.png)."""
import os
import shutil
import time
import unittest

from harness import E2ECase, GameRun


def started(run):
    run.wait_line("Level consists of", timeout=60, exact=False)
    run.wait_frames(3)  # the level is on screen and keys are handled


def starting_at(name):
    """A prepare callback: the campaign level `name` becomes maps/level0.xml."""
    def prepare(data):
        maps = os.path.join(data, "maps")
        shutil.copy(os.path.join(maps, name), os.path.join(maps, "level0.xml"))
    return prepare


class Campaign(E2ECase):
    def test_first_level_is_won_with_the_space_bar_and_the_second_loads(self):
        with GameRun("levels-first") as run:
            run.wait_line("next level is level1.xml", timeout=60)
            started(run)
            run.screenshot("levels-level0.png")
            run.key("space")
            run.wait_line("collected 1 of 1 collectables!", timeout=30)
            # Space is refused while the avatar rolls into the goal, and loads
            # the next level once the level is complete.
            self.assertTrue(run.press_until("space", "next level is level2.xml"),
                            f"level 0 never completed: {run.lines[-10:]}")
            run.wait_line("Level consists of", timeout=10, exact=False)
            run.wait_frames(3)
            run.screenshot("levels-level1.png")
            self.assertNotIn("ERROR: Level loading failed", run.lines)

    def test_a_later_level_loads_without_complaint(self):
        with GameRun("levels-later", prepare=starting_at("level13.xml")) as run:
            started(run)
            run.screenshot("levels-level13.png")
            loaded = [line for line in run.lines if line.startswith(("ERROR", "WARNING", "WARNUNG"))]
            self.assertEqual(loaded, [])


if __name__ == "__main__":
    unittest.main()
