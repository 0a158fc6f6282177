"""Soak run: the real game under Xvfb for a set time, fed random keys (the
game's own and others), mouse moves, wheel turns and clicks, with scripted
wins and falls on two small levels in between.

    soak.py [--seconds N]      (60 by default; run 600 before a release)

Passes when the game stays alive throughout, no frame reports a GL error,
its resident memory grows by less than 2 MB after the first 10 seconds, and
Esc ends it with status 0. The figures go to out/soak/summary.txt.
"""
import argparse
import os
import random
import shutil
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from harness import GameRun  # noqa: E402

OUT = os.path.join(os.environ.get("TUMBIX_OUT", os.path.join(HERE, "..", "..", "out", "e2e")), "..", "soak")
WARM_UP = 10.0
RSS_GROWTH_LIMIT_KB = 2048

GAME_KEYS = ["space", "a", "f", "A", "F", "p", "r", "m", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9"]
OTHER_KEYS = ["b", "q", "z", "1", "0", "Up", "Down", "Left", "Right", "Tab", "Return", "BackSpace",
              "shift", "ctrl", "Home", "F10", "F12", "minus", "comma"]


def every_render_state(run):
    """Passes through every combination of polygon mode, transparency, buffer
    mode and sampling mode (a few frames each), so that the driver has built
    its code for each before memory is measured."""
    for _ in range(2):                    # F3: filled, wireframe
        for _ in range(2):                # F9: transparency on, off
            for _ in range(2):            # F6: client arrays, buffers
                for _ in range(2):        # F4: bilinear, nearest
                    for _ in range(3):    # F5: the three mipmap modes
                        run.key("F5", hold=0.02)
                        time.sleep(0.04)
                    run.key("F4", hold=0.02)
                run.key("F6", hold=0.02)
            run.key("F9", hold=0.02)
        run.key("F3", hold=0.02)


def rss_kb(pid):
    """Resident set size of a process in kB (None once it has gone)."""
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except FileNotFoundError:
        return None
    return None


def settled_rss_kb(pid):
    """The median of five readings over a second: single readings swing with
    the driver's short-lived buffers."""
    readings = []
    for _ in range(5):
        readings.append(rss_kb(pid) or 0)
        time.sleep(0.2)
    return sorted(readings)[2]


def use_soak_levels(data):
    maps = os.path.join(data, "maps")
    for name in os.listdir(os.path.join(HERE, "maps")):
        shutil.copy(os.path.join(HERE, "maps", name), os.path.join(maps, name))


class Soak:
    def __init__(self, run, seed):
        self.run = run
        self.rng = random.Random(seed)
        self.falls = 0

    def loads(self):
        """The "Level consists of" lines so far: one per level loaded."""
        self.run.drain(0.05)
        return [line for line in self.run.lines if line.startswith("Level consists of")]

    def wins(self):
        return len(self.loads()) - 1  # every load after the first follows a win

    def alive(self):
        if self.run.proc.poll() is not None:
            raise AssertionError(f"the game ended with status {self.run.proc.returncode}: {self.run.lines[-15:]}")

    def random_input(self, seconds):
        """Random keys, mouse moves, wheel turns and clicks for `seconds`."""
        end = time.time() + seconds
        while time.time() < end:
            self.alive()
            pick = self.rng.random()
            if pick < 0.45:
                self.run.key(self.rng.choice(GAME_KEYS), hold=self.rng.choice([0.01, 0.05, 0.2]))
            elif pick < 0.6:
                self.run.key(self.rng.choice(OTHER_KEYS), hold=0.03)
            elif pick < 0.8:
                dx, dy = self.rng.randint(-300, 300), self.rng.randint(-200, 200)
                self.run.xdo("mousemove_relative", "--", str(dx), str(dy))
            elif pick < 0.92:
                self.run.xdo("click", "--repeat", str(self.rng.randint(1, 4)), self.rng.choice(["4", "5"]))
            else:
                self.run.xdo("click", self.rng.choice(["1", "2", "3"]))
            time.sleep(self.rng.uniform(0.02, 0.12))
            self.run.new_lines()

    def switch(self, timeout=20):
        """Presses Space until the next level has loaded."""
        before = len(self.loads())
        deadline = time.time() + timeout
        while len(self.loads()) == before:
            self.alive()
            if time.time() > deadline:
                raise AssertionError(f"the level was not won: {self.run.lines[-15:]}")
            self.run.key("space")
            time.sleep(0.5)

    def last_of(self, *choices):
        """The latest console line among `choices` (None if none was printed)."""
        for line in reversed(self.run.drain(0.3)):
            if line in choices:
                return line
        return None

    def quiet_defaults(self):
        """Back to the start-up render state (filled, client arrays,
        transparency, trilinear sampling), a fresh attempt and no message on
        screen, so that memory is always measured in the same state."""
        if self.run.drain(0.3).count("Switching between polygon/wireframe mode") % 2:
            self.run.key("F3")
        if self.last_of("Turning VBOs ON", "Turning VBOs OFF") == "Turning VBOs ON":
            self.run.key("F6")
        if self.last_of("Disabling transparency", "Enabling transparency") == "Disabling transparency":
            self.run.key("F9")
        nearest = "Texture sampling by nearest neighbour"
        if self.last_of(nearest, "Texture sampling by bilinear interpolation") == nearest:
            self.run.key("F4")
        presses = {"Mipmapping is OFF": 2, "Mipmap sampling by nearest neighbour": 1}
        for _ in range(presses.get(self.last_of("Mipmapping is OFF", "Mipmap sampling by nearest neighbour",
                                                "Mipmap sampling by linear interpolation"), 0)):
            self.run.key("F5")
        self.run.key("r")
        time.sleep(2.5)  # the messages expire
        self.run.new_lines()
        return settled_rss_kb(self.run.proc.pid)

    def scripted_round(self):
        """On the first level: reset and roll to a win. On the falling level:
        reset and roll into the black hole, then reset and turn onto the goal."""
        self.run.key("r")
        time.sleep(0.3)
        self.run.new_lines()
        if self.loads()[-1] == "Level consists of 3 blocks":
            self.run.key("space")
            self.run.wait_line("collected 1 of 1 collectables!", timeout=20)
        else:
            self.run.key("space")
            time.sleep(2.5)  # two steps and the fall
            self.falls += 1
            self.run.key("r")
            time.sleep(0.3)
            self.run.key("f")
            time.sleep(1.5)
        self.switch()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seconds", type=float, default=float(os.environ.get("SOAK_SECONDS", 60)))
    parser.add_argument("--seed", type=int, default=int(time.time()))
    args = parser.parse_args()
    os.makedirs(OUT, exist_ok=True)
    figures = {"seconds": args.seconds, "seed": args.seed}
    failures = []
    with GameRun("soak", prepare=use_soak_levels) as run:
        try:
            run.wait_line("Level consists of 3 blocks", timeout=60)
            started = time.time()
            soak = Soak(run, args.seed)
            every_render_state(run)
            soak.scripted_round()
            soak.random_input(max(0.0, WARM_UP - (time.time() - started)))
            figures["rss_kb_at_10s"] = soak.quiet_defaults()
            peak = figures["rss_kb_at_10s"]
            samples = []
            next_round = next_sample = time.time()
            while time.time() - started < args.seconds:
                if time.time() >= next_round:
                    soak.scripted_round()
                    next_round = time.time() + 6.0
                soak.random_input(1.0)
                rss = rss_kb(run.proc.pid) or 0
                peak = max(peak, rss)
                if time.time() >= next_sample:
                    samples.append(rss)
                    next_sample = time.time() + max(10.0, args.seconds / 20)
            figures["rss_kb_samples"] = " ".join(map(str, samples))
            figures["rss_kb_at_end"] = soak.quiet_defaults()
            figures["rss_kb_peak"] = peak
            figures["wins"], figures["falls"] = soak.wins(), soak.falls
            run.key("Escape")
            figures["exit_status"] = run.wait_exit(60)
        except AssertionError as e:
            failures.append(str(e))
            figures["exit_status"] = run.proc.poll()
        figures["gl_errors"] = sum(line.startswith("GL ERROR") for line in run.lines)
        with open(os.path.join(OUT, "soak.log"), "w") as f:
            f.write("\n".join(run.lines) + "\n")
    if "rss_kb_at_end" in figures:
        growth = figures["rss_kb_at_end"] - figures["rss_kb_at_10s"]
        figures["rss_growth_kb"] = growth
        if growth >= RSS_GROWTH_LIMIT_KB:
            failures.append(f"resident memory grew by {growth} kB after the first {WARM_UP:.0f} s")
    if figures["gl_errors"]:
        failures.append(f"{figures['gl_errors']} GL error line(s)")
    if figures.get("exit_status") != 0:
        failures.append(f"exit status {figures.get('exit_status')}")
    if not failures and (figures.get("wins", 0) < 2 or figures.get("falls", 0) < 1):
        failures.append("the levels were not won and lost")
    summary = "\n".join(f"{k}: {v}" for k, v in figures.items())
    with open(os.path.join(OUT, "summary.txt"), "w") as f:
        f.write(summary + "\n")
    print(summary)
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
