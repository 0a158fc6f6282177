"""Start-up lines of the font, sampling and texture steps, and the red on-screen messages."""
import os
import unittest

from harness import OUT, E2ECase, GameRun, count_red, save_rgb

# Where the start-up messages stand: x, y, width, height.
MESSAGE_BOX = (0, 140, 500, 60)


# The font, sampling and scene-shader steps of start-up, right after the driver probe, in this order.
ASSET_LINES = [
    "Shader of type 35633 loaded and compiled successfully.",   # text program (BitmapFont)
    "Shader of type 35632 loaded and compiled successfully.",
    "Shader-program linked successfully.",
    "Texture sampling by bilinear interpolation",                # applySamplingMode
    "Mipmap sampling by linear interpolation",
    "OMG, enabling trilinear interpolation, this is awesome!!",
    None,                                                        # "font is stored in texture #N"
    "Shader of type 35633 loaded and compiled successfully.",   # scene program
    "Shader of type 35632 loaded and compiled successfully.",
    "Shader-program linked successfully.",
]


class AssetStartUp(E2ECase):
    def test_font_sampling_and_texture_lines_in_start_up_order_and_red_messages(self):
        with GameRun("assets-startup") as run:
            probe = run.wait_line("The driver supports up to", exact=False)
            run.wait_line("Shader-program linked successfully.")
            run.wait_line("Shader-program linked successfully.")
            got = run.lines[probe + 1: probe + 1 + len(ASSET_LINES)]
            for i, expected in enumerate(ASSET_LINES):
                if expected is None:
                    self.assertRegex(got[i], r"^font is stored in texture #\d+$")
                else:
                    self.assertEqual(got[i], expected, f"line {probe + 1 + i}")
            # textures come later, each announced before it loads
            run.wait_line("newest mipmap-texture #", exact=False)
            run.wait_line("Level consists of", exact=False)
            # the three sampling messages are red text at the upper left: a
            # frame showing them, and the next frame after the screenshot
            # still showing them, so the screenshot is of such a frame
            self.assertGreaterEqual(run.wait_frames(1)[0].messages, 3)
            screen = run.grab()
            self.assertGreaterEqual(run.wait_frames(1)[0].messages, 3, "messages expired during the screenshot")
            save_rgb(screen, os.path.join(OUT, "assets-startup-messages.png"))
            self.assertGreater(count_red(screen, MESSAGE_BOX), 200)


if __name__ == "__main__":
    unittest.main()
