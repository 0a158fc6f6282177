"""The game played through the real program with keys: a small level won,
the next level loaded, a refused turn heard, the function keys, Esc."""
import os
import shutil
import subprocess
import time
import unittest

from harness import E2ECase, GameRun, audio_level

LEVELS = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "levels", "maps"))


def with_levels(first, *others, refusal_sound=False):
    """A prepare callback: `first` becomes maps/level0.xml, the others keep
    their names. With refusal_sound the sounds folder holds nothing but a
    short generated tone as sounds/illegalaction.aif, so the output is silent
    until it plays."""
    def prepare(data):
        maps = os.path.join(data, "maps")
        shutil.copy(os.path.join(LEVELS, first), os.path.join(maps, "level0.xml"))
        for name in others:
            shutil.copy(os.path.join(LEVELS, name), os.path.join(maps, name))
        if refusal_sound:
            sounds = os.path.join(data, "sounds")
            shutil.rmtree(sounds, ignore_errors=True)
            os.makedirs(sounds)
            subprocess.run(["sox", "-n", "-r", "44100", "-c", "1", "-b", "16",
                            os.path.join(sounds, "illegalaction.aif"), "synth", "0.3", "sine", "660", "vol", "0.5"],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return prepare


def peak_after(path, offset):
    """Peak sample of the disk-audio output written after byte `offset`."""
    size = os.path.getsize(path)
    return audio_level(path, offset / size if size else 0.0) if size > offset else 0


def started(run):
    run.wait_line("Level consists of", timeout=60, exact=False)
    run.wait_frames(3)  # the loop runs, so keys are handled and polled


class PlayLevel(E2ECase):
    def test_space_wins_the_level_and_loads_the_next(self):
        with GameRun("game-win", prepare=with_levels("run.xml", "second.xml")) as run:
            started(run)
            run.key("space")
            run.wait_line("collected 1 of 1 collectables!", timeout=60)
            # Space is refused while the avatar still moves and loads the next
            # level once the level is complete.
            self.assertTrue(run.press_until("space", "next level is missing.xml", timeout=90, every=1.0),
                            f"level never completed: {run.lines[-10:]}")
            run.wait_line("next level is missing.xml", timeout=5)
            run.wait_line("decal2face1", timeout=10)
            run.wait_line("decal4face1", timeout=10)
            run.wait_line("Level consists of 2 blocks", timeout=10)
            run.key("Escape")
            self.assertEqual(run.wait_exit(60), 0)
            self.assertEqual([line for line in run.lines if line.startswith("GL ERROR")], [])

    def test_refused_turn_prints_its_lines_and_plays_the_refusal_sound(self):
        with GameRun("game-refusal", audio="disk", prepare=with_levels("edge.xml", refusal_sound=True)) as run:
            started(run)
            before = os.path.getsize(run.audio_file)
            self.assertEqual(audio_level(run.audio_file), 0, "audio before the key press is not silent")
            run.key("a")
            first = run.wait_line("rotate left", timeout=30)
            second = run.wait_line("ERROR can't rotate along that axis", timeout=10)
            self.assertEqual(second, first + 1)
            # the mixer writes the sound out as it plays: wait until it has
            deadline = time.time() + 30
            while peak_after(run.audio_file, before) <= 1000:
                self.assertLess(time.time(), deadline, "the refusal sound was not heard")
                run.wait_frames(1)
            run.key("Escape")
            self.assertEqual(run.wait_exit(60), 0)

    def test_function_and_command_keys_print_their_lines(self):
        with GameRun("game-keys", prepare=with_levels("run.xml")) as run:
            started(run)
            expected = [
                ("F1", ["TODO pause game, display help"]),
                ("F3", ["Switching between polygon/wireframe mode"]),
                ("F3", ["Switching between polygon/wireframe mode"]),
                ("F4", ["Texture sampling by nearest neighbour", "Mipmap sampling by linear interpolation"]),
                ("F5", ["Texture sampling by nearest neighbour", "Mipmapping is OFF"]),
                ("F6", ["Turning VBOs ON"]),
                ("F6", ["Turning VBOs OFF"]),
                ("F7", ["unbound key: 264"]),
                ("F8", ["TODO view frustum culling on/off"]),
                ("F9", ["Disabling transparency"]),
                ("F9", ["Enabling transparency"]),
                ("m", ["pause game, display map info or something"]),
                ("p", ["pause"]),
                ("P", ["pause"]),
                ("b", ["unbound key: 66"]),
            ]
            for key, lines in expected:
                run.key(key)
                for line in lines:
                    run.wait_line(line, timeout=30)
            # F2 prints nothing; the title shows the game's name once the
            # running period ends.
            self.assertRegex(run.window_title(), r"^\d+$")
            run.key("F2")
            deadline = time.time() + 30
            while run.window_title() != "Tumbix":
                self.assertLess(time.time(), deadline, "F2 did not hide the step count")
                time.sleep(0.3)
            run.key("Escape")
            run.wait_line("unbound key: 257", timeout=30)
            self.assertEqual(run.wait_exit(60), 0)

    def test_letter_keys_follow_the_keyboard_layout(self):
        """Letters are taken by the character typed: on French and German
        layouts the same letters give the same lines as on a US one."""
        def typed_lines(layout):
            with GameRun(f"game-layout-{layout}", prepare=with_levels("run.xml"), layout=layout) as run:
                started(run)
                for key in ["a", "f", "r", "m", "z", "q", "y", "p"]:
                    run.key(key)
                end = run.wait_line("pause", timeout=30)
                first = next(i for i, line in enumerate(run.lines) if line.startswith("Level consists of"))
                return [line for line in run.lines[first + 1:end + 1] if not line.isdigit()]

        us = typed_lines("us")
        self.assertIn("rotate left", us)
        self.assertIn("rotate right", us)
        self.assertIn("pause game, display map info or something", us)
        self.assertIn("unbound key: 81", us)  # Q
        for layout in ["fr", "de"]:
            with self.subTest(layout):
                self.assertEqual(typed_lines(layout), us)

    def test_without_the_first_level_the_game_does_not_start(self):
        def remove_first(data):
            os.remove(os.path.join(data, "maps", "level0.xml"))

        with GameRun("game-nolevel", prepare=remove_first) as run:
            self.assertEqual(run.wait_exit(60), 1)
            tail = run.lines[-3:]
            self.assertEqual(tail, ["Loading file level0.xml failed!", "ERROR: Level loading failed",
                                    "ERROR: the game cannot start without its first level"])


if __name__ == "__main__":
    unittest.main()
