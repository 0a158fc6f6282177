"""Broken and missing content. Each case spoils files in the scratch copy of
data/ and checks the console lines and the exit status: only the first level
is indispensable; without any other file the game plays on."""
import os
import shutil
import time
import unittest

from harness import OUT, E2ECase, GameRun, audio_level, count_red, save_rgb

# Where the start-up messages stand: x, y, width, height.
MESSAGE_BOX = (0, 140, 500, 60)

LEVELS = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "levels", "maps"))

# A model that parses but whose triangle names a vertex it does not have.
BAD_REFERENCE_MODEL = b"""MD5Version 10
numJoints 1
numMeshes 1
joints {
    "origin" -1 ( 0 0 0 ) ( 0 0 0 )
}
mesh {
    shader "x"
    numverts 1
    vert 0 ( 0 0 ) 0 1
    numtris 1
    tri 0 0 1 2
    numweights 1
    weight 0 0 1.0 ( 0 0 0 )
}
"""

# A well-formed level without the block at (0, 0, 0).
ROOTLESS_LEVEL = (b'<map next="level0.xml"><level r="0" g="0" b="0"><light x="0" y="4" z="0" r="1" g="1" b="1"/>'
                  b'<block x="1" y="0" z="0"/></level></map>')


def remove(rel):
    return lambda data: os.remove(os.path.join(data, rel))


def replace(rel, content):
    def prepare(data):
        with open(os.path.join(data, rel), "wb") as f:
            f.write(content)
    return prepare


def truncate(rel, size):
    def prepare(data):
        path = os.path.join(data, rel)
        with open(path, "rb") as f:
            head = f.read(size)
        with open(path, "wb") as f:
            f.write(head)
    return prepare


def node(rel, kind):
    """A prepare hook: a folder or a FIFO (that nobody writes) in place of the file."""
    def prepare(data):
        path = os.path.join(data, rel)
        os.remove(path)
        if kind == "folder":
            os.mkdir(path)
        else:
            os.mkfifo(path)
    return prepare


def short_level(*spoil):
    """A prepare hook: tests/levels/maps/run.xml (three blocks, one
    collectable, next "second.xml") becomes the first level, then each of
    `spoil` breaks its file."""
    def prepare(data):
        shutil.copy(os.path.join(LEVELS, "run.xml"), os.path.join(data, "maps", "level0.xml"))
        for hook in spoil:
            hook(data)
    return prepare


def gl_errors(lines):
    return [line for line in lines if line.startswith("GL ERROR")]


class BrokenContent(E2ECase):
    def plays_on(self, run):
        """The short level is played until its collectable is taken; then Esc
        ends the program with status 0. No frame may report a GL error."""
        if not any(line.startswith("Level consists of") for line in run.lines):
            run.wait_line("Level consists of 3 blocks", timeout=60)
        run.wait_frames(3)  # the loop runs: keys are handled
        run.key("space")
        run.key("space")  # refused while rolling: the refusal sound
        run.wait_line("collected 1 of 1 collectables!", timeout=30)
        run.wait_frames(10)  # fails if the game stops
        self.assertIsNone(run.proc.poll(), "the game stopped")
        run.key("Escape")
        self.assertEqual(run.wait_exit(60), 0)
        self.assertEqual(gl_errors(run.lines), [])

    def test_first_level_missing_or_malformed_stops_with_status_1(self):
        cases = [
            ("missing", remove("maps/level0.xml"), ["Loading file level0.xml failed!"]),
            ("empty", replace("maps/level0.xml", b""), ["Loading file level0.xml failed!"]),
            ("cut", truncate("maps/level0.xml", 120), ["Loading file level0.xml failed!"]),
            ("binary", replace("maps/level0.xml", bytes(range(256)) * 4), ["Loading file level0.xml failed!"]),
            ("rootless", replace("maps/level0.xml", ROOTLESS_LEVEL),
             ["ERROR: Block at position (0,0,0) is required!"]),
            ("folder", node("maps/level0.xml", "folder"),
             ["ERROR: cannot read maps/level0.xml: is a directory", "Loading file level0.xml failed!"]),
            ("fifo", node("maps/level0.xml", "fifo"),
             ["ERROR: cannot read maps/level0.xml: is a FIFO", "Loading file level0.xml failed!"]),
            ("deep", replace("maps/level0.xml", b'<map next="level1.xml">' + b"<x>" * 60000),
             ["ERROR: level file nests elements deeper than 32", "Loading file level0.xml failed!"]),
        ]
        for name, prepare, loader_lines in cases:
            with self.subTest(name), GameRun(f"broken-level0-{name}", display=True, prepare=prepare) as run:
                self.assertEqual(run.wait_exit(60), 1)
                tail = run.lines[-2 - len(loader_lines):]
                self.assertEqual(tail, loader_lines + ["ERROR: Level loading failed",
                                                       "ERROR: the game cannot start without its first level"])

    def test_later_level_missing_or_malformed_replays_the_current_level(self):
        def win(run):
            run.key("space")
            run.wait_line("collected 1 of 1 collectables!", timeout=30)
            deadline = time.time() + 60
            while not any(line == "ERROR: Level loading failed" or line.startswith("Level consists of")
                          for line in run.new_lines()):
                self.assertLess(time.time(), deadline, f"level never completed: {run.lines[-10:]}")
                run.key("space")
                run.drain(0.5)  # Space again only after the roll it may have started

        with GameRun("broken-next", prepare=short_level(replace("maps/second.xml", b"<map next="))) as run:
            run.wait_line("Level consists of 3 blocks", timeout=60)
            run.wait_frames(3)
            second = os.path.join(run.data, "maps", "second.xml")
            # malformed: the same level again, its collectable back in place
            win(run)
            self.assertIn("Loading file second.xml failed!", run.lines[-4:])
            self.assertIn("ERROR: Level loading failed", run.lines[-3:])
            # missing: the same again
            os.remove(second)
            win(run)
            self.assertEqual(run.lines.count("ERROR: Level loading failed"), 2)
            # once the file is there the game goes on to it
            shutil.copy(os.path.join(LEVELS, "second.xml"), second)
            win(run)
            self.assertIn("Level consists of 2 blocks", run.lines[-3:])
            run.key("Escape")
            self.assertEqual(run.wait_exit(60), 0)
            self.assertEqual(gl_errors(run.lines), [])

    def test_model_missing_or_broken_reports_the_parser_and_plays_without_it(self):
        cases = [
            ("brain-missing", remove("models/brain.md5mesh"),
             "ERROR: MD5Model::loadMesh(): unable to open models/brain.md5mesh for reading"),
            ("synapse-cut", truncate("models/synapse.md5mesh", 300), "ERROR: MD5Model::"),
            ("synapse-text", replace("models/synapse.md5mesh", b"hello"),
             "ERROR: MD5Model::loadMesh(): expected 'MD5Version'"),
            ("brain-references", replace("models/brain.md5mesh", BAD_REFERENCE_MODEL),
             "ERROR: MD5Model::checkReferences(): mesh 0 has a triangle corner outside its vertices"),
        ]
        for name, spoil, line in cases:
            with self.subTest(name), GameRun(f"broken-model-{name}", prepare=short_level(spoil)) as run:
                run.wait_line(line, timeout=60, exact=not line.endswith("::"))
                self.plays_on(run)

    def test_texture_missing_or_not_a_tga_plays_untextured(self):
        cases = [
            ("block-missing", remove("textures/blocktexture.tga")),
            ("brain-png", replace("textures/brain.tga", b"\x89PNG\r\n\x1a\n" + bytes(64))),
            ("frame-header-only", truncate("textures/metalframe2.tga", 18)),
            ("synapse-cut", truncate("textures/synalpha.tga", 4000)),
        ]
        for name, spoil in cases:
            with self.subTest(name), GameRun(f"broken-texture-{name}", prepare=short_level(spoil)) as run:
                announced = run.wait_line("newest mipmap-texture #", timeout=60, exact=False)
                failed = run.wait_line("texture loading mipmap bla failed", timeout=60)
                self.assertTrue(run.lines[failed - 1].startswith("newest mipmap-texture #"))
                self.assertGreaterEqual(failed, announced + 1)
                self.plays_on(run)
                self.assertEqual(run.lines.count("texture loading mipmap bla failed"), 1)

    def test_window_icons_missing_or_broken_play_on(self):
        def remove_icons(data):
            shutil.rmtree(os.path.join(data, "icons"))

        warning = "WARNING: window icon icons/tumbix-32.tga is not a colour TGA image"
        cases = [("missing", remove_icons, []),
                 ("png", replace("icons/tumbix-32.tga", b"\x89PNG\r\n\x1a\n" + bytes(64)), [warning]),
                 ("cut", truncate("icons/tumbix-32.tga", 40), [warning])]
        for name, spoil, lines in cases:
            with self.subTest(name), GameRun(f"broken-icon-{name}", prepare=short_level(spoil)) as run:
                run.wait_line("Level consists of 3 blocks", timeout=60)
                self.assertEqual([line for line in run.lines if "icon" in line], lines)
                self.plays_on(run)

    def test_font_missing_or_truncated_shows_no_text_and_plays_on(self):
        # The intact font shows the start-up messages in the same frames the
        # broken ones are looked at, so no red there means no text drawn.
        cases = [("intact", lambda data: None, True), ("missing", remove("arial.glf"), False),
                 ("cut", truncate("arial.glf", 2000), False), ("header", truncate("arial.glf", 24), False)]
        for name, spoil, text in cases:
            with self.subTest(name), GameRun(f"broken-font-{name}", prepare=short_level(spoil)) as run:
                run.wait_line("OMG, enabling trilinear interpolation, this is awesome!!", timeout=60)
                run.wait_line("Level consists of 3 blocks", timeout=60)
                # a frame of the level with the three messages, before and after the screenshot
                self.assertGreaterEqual(run.wait_frames(1)[0].messages, 3)
                screen = run.grab()
                self.assertGreaterEqual(run.wait_frames(1)[0].messages, 3, "messages expired during the screenshot")
                save_rgb(screen, os.path.join(OUT, f"broken-font-{name}.png"))
                self.assertGreater(sum(1 for v in screen[1::3] if v > 64), 20000, "no scene on screen")
                if text:
                    self.assertGreater(count_red(screen, MESSAGE_BOX), 200, "no message text with the intact font")
                else:
                    self.assertEqual(count_red(screen, MESSAGE_BOX), 0, "red message text drawn without a font")
                self.plays_on(run)

    def test_shader_missing_or_broken_prints_the_compiler_and_keeps_running(self):
        cases = [
            ("scene-missing", remove("shader.frag"), "Shader of type 35632 compile error:"),
            ("shadow-syntax", replace("shadow.vert", b"void main() { gl_Position = ; }\n"),
             "Shader of type 35633 compile error:"),
            ("text-garbage", replace("geometry.frag", b"\x00\xff garbage"), "Shader of type 35632 compile error:"),
            ("scene-no-main", replace("shader.vert", b"#version 120\nvoid helper() { }\n"), None),
        ]
        for name, spoil, line in cases:
            with self.subTest(name), GameRun(f"broken-shader-{name}", prepare=short_level(spoil)) as run:
                if line:
                    at = run.wait_line(line, timeout=60)
                    run.wait_line("Shader-program link error:", timeout=60)
                    self.assertEqual(run.lines[at + 1], "")
                else:
                    run.wait_line("Shader-program link error:", timeout=60)
                self.plays_on(run)

    def test_a_folder_or_fifo_in_place_of_a_file_is_refused_in_one_line_and_play_goes_on(self):
        cases = [
            ("texture-folder", node("textures/blocktexture.tga", "folder"),
             "ERROR: cannot read textures/blocktexture.tga: is a directory"),
            ("model-fifo", node("models/brain.md5mesh", "fifo"),
             "ERROR: MD5Model::loadMesh(): cannot read models/brain.md5mesh: is a FIFO"),
            ("font-folder", node("arial.glf", "folder"), "ERROR: cannot read arial.glf: is a directory"),
            ("shader-fifo", node("shadow.frag", "fifo"), "ERROR: cannot read shadow.frag: is a FIFO"),
            ("sound-fifo", node("sounds/rolling.wav", "fifo"),
             "WARNING: could not load sound sounds/rolling.wav: is a FIFO"),
        ]
        for name, spoil, line in cases:
            with self.subTest(name), GameRun(f"broken-node-{name}", prepare=short_level(spoil)) as run:
                run.wait_line(line, timeout=60)
                self.plays_on(run)

    def test_sounds_missing_plays_silently(self):
        def no_sounds(data):
            shutil.rmtree(os.path.join(data, "sounds"))
        with GameRun("broken-sounds", audio="disk", prepare=short_level(no_sounds)) as run:
            run.wait_line("WARNING: could not load sound sounds/illegalaction.aif", timeout=60)
            run.wait_line("WARNING: could not load sound sounds/rolling.wav", timeout=60)
            self.plays_on(run)
            self.assertEqual(audio_level(run.audio_file), 0)


if __name__ == "__main__":
    unittest.main()
