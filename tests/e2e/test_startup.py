"""Start-up, window title, and the ways the program ends."""
import re
import time
import unittest

from harness import BANNER, E2ECase, GameRun

# The console up to the end of the driver probe, in order. The version string
# is the driver's own.
PROBE = [
    BANNER,
    "GLFW initialized",
    "OpenGL 3.2 core context created",
    "GLEW initialized",
    "",
    "Testing:",
    re.compile(r"OpenGL Version: \d+\.\d+.*"),
    "Having a compatibility-profile",
    "Context is NOT forward compatible.",
    "Doing illegal operation (glTranslate) now...",
    "Illegal operation did NOT cause an error message. :(",
    "",
    re.compile(r"The driver supports up to \d+ texture units"),
]


def matches(expected, line):
    return expected.fullmatch(line) is not None if hasattr(expected, "fullmatch") else expected == line


class StartUp(E2ECase):
    def test_startup_lines_in_order_then_title_counts_steps(self):
        with GameRun("startup") as run:
            run.wait_line("The driver supports up to", exact=False)
            for i, expected in enumerate(PROBE):
                self.assertTrue(matches(expected, run.lines[i]), f"line {i}: {run.lines[i]!r} != {expected!r}")
            self.assertEqual(run.window_title(), "Tumbix")
            # The first counting period ends after a second: the count is
            # printed on its own line and becomes the title.
            deadline = time.time() + 60
            count = None
            while count is None and time.time() < deadline:
                for line in run.new_lines():
                    if re.fullmatch(r"\d+", line):
                        count = line
                        break
            self.assertIsNotNone(count, f"no step count printed: {run.lines[-10:]}")
            run.wait_frames(2)  # the title was set before them and the next poll flushed it
            self.assertRegex(run.window_title(), r"^\d+$")
            run.key("Escape")
            self.assertEqual(run.wait_exit(), 0)

    def test_escape_prints_unbound_key_and_exits_zero(self):
        with GameRun("escape") as run:
            run.wait_line("The driver supports up to", exact=False)
            run.wait_frames(2)  # the loop runs: the key is handled and polled
            run.key("Escape")
            run.wait_line("unbound key: 257")
            self.assertEqual(run.wait_exit(), 0)

    def test_closing_the_window_exits_zero(self):
        with GameRun("close") as run:
            run.wait_line("The driver supports up to", exact=False)
            run.wait_frames(2)
            run.close_window()
            self.assertEqual(run.wait_exit(), 0)

    def test_without_display_glfw_init_fails(self):
        with GameRun("nodisplay", display=False) as run:
            self.assertEqual(run.wait_exit(), 1)
            self.assertEqual(run.lines, [BANNER, "Could not init GLFW!"])


if __name__ == "__main__":
    unittest.main()
