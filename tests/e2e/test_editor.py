"""The level editor under Xvfb: a level built with clicks and keys, proven
by the checker and loaded by the game; files it must not touch."""
import os
import re
import shutil
import subprocess
import time
import unittest

from harness import BINARY, E2ECase, GameRun, ROOT

EDITOR = os.environ.get("TUMBIX_EDITOR", os.path.join(ROOT, "build", "tumbix-edit"))
LEVELCHECK = os.environ.get("TUMBIX_LEVELCHECK", os.path.join(ROOT, "build", "levelcheck"))
CENTRE = ("640", "512")

# What the game's loader prints for the level the first case builds: blocks
# (0,0,0), (0,0,1) with a collectable on top, (0,0,2) with the goal on its back.
BUILT_LEVEL_LINES = [
    "next level is level0.xml",
    "decal2face1",
    "decal4face2",
    "linking 0010",
    "linking 0021",
    "linking 0010",
    "linking 0021",
    "Level consists of 3 blocks",
]


class EditorCase(E2ECase):
    def setUp(self):
        super().setUp()
        if not os.path.exists(EDITOR):
            self.skipTest(f"{EDITOR} not built")

    def editor(self, name, level, prepare=None):
        return GameRun(name, binary=EDITOR, args=[level], prepare=prepare)

    def click(self, run, button="1"):
        run.xdo("mousemove", *CENTRE)
        run.xdo("mousedown", button)
        time.sleep(0.05)
        run.xdo("mouseup", button)

    def wait_title(self, run, text, timeout=60.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            title = run.window_title()
            if text in title:
                return title
            run.drain(0.2)
        raise AssertionError(f"title never showed {text!r}: {run.window_title()!r}")


class BuildALevel(EditorCase):
    def test_clicks_and_keys_make_a_level_the_checker_proves_and_the_game_loads(self):
        with self.editor("editor-build", "maps/made.xml") as run:
            run.wait_line("new level " + os.path.join(run.data, "maps", "made.xml"))
            run.wait_line("editor ready")
            self.wait_title(run, "cannot be won: the level has no goal")
            run.key("KP_1")  # look along -z: the back face of the nearest block is in the middle
            self.click(run)
            run.wait_line("added block (0,0,1)")
            self.click(run)
            run.wait_line("added block (0,0,2)")
            run.key("g")
            run.wait_line("goal on (0,0,2) back")
            run.key("KP_7")  # look down: the top of the middle block
            run.key("c")
            run.wait_line("collectable on (0,0,1) top")
            title = self.wait_title(run, "winnable in")
            self.assertIn("made.xml*", title)
            run.screenshot("editor-built.png")
            run.key("ctrl+s")
            run.wait_line("saved " + os.path.join(run.data, "maps", "made.xml"))
            self.wait_title(run, "made.xml - winnable in")

            # play it: the real game in a scratch folder, this level first
            run.key("p")
            folder = re.match(r"playing in (\S+) ", run.lines[run.wait_line("playing in ", exact=False)]).group(1)
            try:
                log = os.path.join(folder, "console.log")
                deadline = time.time() + 30
                while time.time() < deadline and "Level consists of 3 blocks" not in _read(log):
                    time.sleep(0.2)
                self.assertIn("\n".join(BUILT_LEVEL_LINES), _read(log))
            finally:
                shutil.rmtree(folder, ignore_errors=True)
            saved = _read(os.path.join(run.data, "maps", "made.xml"))
            self.assertEqual([line for line in run.drain() if line.startswith("GL ERROR")], [])

        with open(os.path.join(run_dir := self._tmp(), "made.xml"), "w") as f:
            f.write(saved)
        check = subprocess.run([LEVELCHECK, os.path.join(run_dir, "made.xml")], capture_output=True, text=True,
                               timeout=120)
        self.assertEqual(check.returncode, 0, check.stdout)
        self.assertIn("solved in", check.stdout)

        def as_first_level(data):
            with open(os.path.join(data, "maps", "level0.xml"), "w") as f:
                f.write(saved)

        with GameRun("editor-made-level", prepare=as_first_level, binary=BINARY) as game:
            first = game.wait_line(BUILT_LEVEL_LINES[0])
            game.wait_line(BUILT_LEVEL_LINES[-1])
            self.assertEqual(game.lines[first:first + len(BUILT_LEVEL_LINES)], BUILT_LEVEL_LINES)

    def _tmp(self):
        import tempfile
        d = tempfile.mkdtemp(prefix="tumbix-editor-check-")
        os.makedirs(os.path.join(d, "maps"))
        self.addCleanup(shutil.rmtree, d, True)
        return os.path.join(d, "maps")


class FilesLeftAlone(EditorCase):
    def test_a_file_the_loader_refuses_is_shown_and_never_written(self):
        def broken(data):
            with open(os.path.join(data, "maps", "broken.xml"), "w") as f:
                f.write("<map><level/></map>")

        with self.editor("editor-refused", "maps/broken.xml", prepare=broken) as run:
            run.wait_line("ERROR: level file has no next attribute")
            run.wait_line("editor ready")
            run.key("space")
            run.key("ctrl+s")
            run.wait_line("nothing was opened; Esc quits")
            run.screenshot("editor-refused.png")
            self.assertEqual(_read(os.path.join(run.data, "maps", "broken.xml")), "<map><level/></map>")
            run.key("Escape")
            self.assertEqual(run.wait_exit(), 1)

    def test_quitting_with_unsaved_changes_asks_once_and_writes_nothing(self):
        with self.editor("editor-unsaved", "maps/level1.xml") as run:
            before = _read(os.path.join(run.data, "maps", "level1.xml"))
            run.wait_line("editor ready")
            run.key("1")  # a nudge of the ambient colour
            run.wait_line("ambient colour r", exact=False)
            run.key("Escape")
            run.wait_line("unsaved changes", exact=False)
            self.assertIsNone(run.proc.poll())
            run.key("h")  # another key takes the question back: the close button asks again
            run.close_window()
            run.wait_line("unsaved changes", exact=False)
            self.assertIsNone(run.proc.poll())
            run.key("Escape")
            self.assertEqual(run.wait_exit(), 0)
            self.assertEqual(_read(os.path.join(run.data, "maps", "level1.xml")), before)



class SaveAndQuit(EditorCase):
    """Open, edit, save, play and quit: the game started with P ends with the
    editor and its scratch folder goes (also run under the sanitizers)."""

    def test_open_edit_save_play_and_quit_leaves_nothing_running(self):
        with self.editor("editor-save-quit", "maps/level1.xml") as run:
            path = os.path.join(run.data, "maps", "level1.xml")
            os.chmod(path, 0o600)
            run.wait_line("editor ready")
            run.key("1")  # a nudge of the ambient colour
            run.wait_line("ambient colour r", exact=False)
            run.key("ctrl+s")
            run.wait_line("saved " + path)
            self.assertEqual(os.stat(path).st_mode & 0o777, 0o600)
            self.assertFalse(os.path.exists(path + ".saving"))
            run.key("p")
            match = re.match(r"playing in (\S+) \(game process (\d+)\)",
                             run.lines[run.wait_line("playing in ", exact=False)])
            folder, pid = match.group(1), int(match.group(2))
            log = os.path.join(folder, "console.log")
            deadline = time.time() + 60
            while time.time() < deadline and "Level consists of" not in _read(log):
                run.drain(0.2)
            self.assertIn("Level consists of", _read(log))
            # the game's window took the keys: give them back to the editor's
            editor = subprocess.run(["xdotool", "search", "--name", "^tumbix-edit"], env=run.env,
                                    capture_output=True, text=True).stdout.split()[0]
            run.xdo("windowraise", editor)
            run.xdo("windowfocus", "--sync", editor)
            run.key("Escape")
            self.assertEqual(run.wait_exit(timeout=60), 0)
            self.assertFalse(os.path.exists(folder))
            with self.assertRaises(ProcessLookupError):
                os.kill(pid, 0)


def _read(path):
    try:
        with open(path) as f:
            return f.read()
    except OSError:
        return ""


if __name__ == "__main__":
    unittest.main()
