"""A short scripted demo of the game under Xvfb: plays the first level to
its goal and goes on to the second, then turns a block on a level whose
first step allows it (level14), and saves screenshots and the console log
to out/demo/. With --frames it also records the screen
while the first level is played, as out/demo/frames/NNN.xwd (for the README's
animation, see tools/screenshots.sh)."""
import os
import shutil
import sys
import tempfile
import threading
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
OUT = os.path.join(ROOT, "out", "demo")
os.environ["TUMBIX_OUT"] = OUT
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from harness import GameRun  # noqa: E402

SCRIPT = [  # (seconds to wait first, key or None, screenshot name or None)
    (0.0, None, "01-start.png"),
    (0.0, "space", None),
    (0.8, None, "02-rolling.png"),
]


class FrameRecorder:
    """Copies the X server's screen FPS times a second in a thread while it is
    on. The screen is read from the file Xvfb keeps it in (-fbdir), which is
    quick and steady even on a busy machine; frames are saved as NNN.xwd, the
    times they were taken in times.txt."""

    def __init__(self, screen_file, folder, fps=10):
        self.screen_file, self.folder, self.fps, self.times = screen_file, folder, fps, []
        os.makedirs(folder, exist_ok=True)
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._record, daemon=True)

    def _record(self):
        start = time.time()
        while not self._stop.is_set():
            self.times.append(time.time() - start)
            with open(self.screen_file, "rb") as f:
                frame = f.read()
            with open(os.path.join(self.folder, f"{len(self.times):03d}.xwd"), "wb") as f:
                f.write(frame)
            self._stop.wait(max(0.0, start + len(self.times) / self.fps - time.time()))

    def start(self):
        self._thread.start()
        return self

    def stop(self):
        self._stop.set()
        self._thread.join()
        with open(os.path.join(self.folder, "times.txt"), "w") as f:
            f.write("\n".join(f"{t:.3f}" for t in self.times) + "\n")


def play_first_level(run, recorder=None):
    """Level 0 needs nothing but the space bar: roll, collect, enter the goal,
    then space again for the next level. A running recorder stops there."""
    run.wait_line("collected 1 of 1 collectables!", timeout=30)
    run.screenshot("03-collected.png")
    run.press_until("space", "next level is level2.xml")
    if recorder:
        recorder.stop()
    run.wait_frames(3, after=run.wait_line("Level consists of", timeout=10, exact=False))
    run.screenshot("04-next-level.png")
    run.key("F3")
    time.sleep(0.5)
    run.screenshot("06-wireframe.png")
    run.key("F3")
    time.sleep(1.5)
    run.screenshot("07-end.png")


# A level whose shortest win turns the first block at once (levelcheck:
# "step 1: A"; the lesson on starting with A or F), and each frame 1/120 s
# of play whatever the machine's speed, so A pressed a few frames after
# Space falls in the first half of the step, where a turn is taken.
TURN_LEVEL = "level7.xml"


def turn_a_block():
    def prepare(data):
        shutil.copy(os.path.join(data, "maps", TURN_LEVEL), os.path.join(data, "maps", "level0.xml"))

    with GameRun("demo-turn", prepare=prepare, env={"TUMBIX_FIXED_STEP": str(1 / 240)}) as run:
        run.wait_frames(3, after=run.wait_line("Level consists of", timeout=60, exact=False))
        run.key("space", hold=0.02)
        run.wait_frames(1)
        run.key("a", hold=0.02)
        at = run.wait_line("rotate left")
        run.wait_frames(4, after=at)
        run.screenshot("05-turning.png")
        refused = [line for line in run.drain() if "can't rotate" in line]
        run.key("Escape")
        run.wait_exit()
    if refused:
        print(f"the turn was refused: {refused}")
        return 1
    return 0


def main():
    os.makedirs(OUT, exist_ok=True)
    record = "--frames" in sys.argv[1:]
    fbdir = tempfile.mkdtemp(prefix="tumbix-screen-") if record else None
    with GameRun("demo", xvfb_args=("-fbdir", fbdir) if record else ()) as run:
        # the first screenshot shows a frame after the first one drawn
        run.wait_frames(2, after=run.wait_line("Level consists of", timeout=60, exact=False))
        recorder = None
        frames = os.path.join(OUT, "frames")
        for delay, key, shot in SCRIPT:
            time.sleep(delay)
            if record and key and not recorder:  # from the first key on
                shutil.rmtree(frames, ignore_errors=True)
                recorder = FrameRecorder(os.path.join(fbdir, "Xvfb_screen0"), frames).start()
                time.sleep(0.3)
            if key:
                run.key(key)
            if shot:
                run.screenshot(shot)
        play_first_level(run, recorder)
        run.key("Escape")
        rc = run.wait_exit()
        run.save_log("console.log")
    if fbdir:
        shutil.rmtree(fbdir, ignore_errors=True)
    rc = rc or turn_a_block()
    print(f"demo finished with status {rc}")
    print(f"screenshots and console log: {OUT}")
    return rc


if __name__ == "__main__":
    sys.exit(main())
