"""Every command README.md and docs/levels.md print, run as printed from a
copy of the tree as a fresh clone has it (the build folder linked in).

The commands are the lines of indented code blocks and the `$ ` lines of
fenced ones. Each is either run here (RUN) or left out for a stated reason
(SKIP); a command in neither list fails the case, so a new one gets
classified. The commands that write must write outside data/: after them
data/ is byte for byte what it was.

Needs TUMBIX_BUILD (the build folder; ctest sets it).
"""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
BUILD = os.environ.get("TUMBIX_BUILD", os.path.join(ROOT, "build"))
DOCS = ["README.md", "docs/levels.md"]

# Patterns (whole command, comment removed) run in the copy, in order.
RUN = [
    r"build/levelcheck (--stats )?(--verbose )?data/maps/level[0-9]+\.xml",
    r"mkdir -p out/mylevels/maps",
    r"build/levelgen --seed 5 .* -o out/mylevels/maps/b\.xml",
    r"head -3 out/mylevels/maps/b\.xml",
]
# Patterns left out, with the reason.
SKIP = {
    r"make (run|test)": "the whole build and test run: what CI does",
    r"make package": "the package_build test runs cpack the same way",
    r"sudo apt install \./build/tumbix_\*_amd64\.deb": "needs root; the package tests run the unpacked package",
    r"make install( PREFIX=/usr DESTDIR=/tmp/root)?": "installs; the package tests run cmake --install with DESTDIR",
    r"build/levelcheck --chain data/maps/level0\.xml": "the levelcheck_campaign test runs it (with --stats)",
    r"build/tumbix-edit out/mylevels/maps/mylevel\.xml": "opens a window; tests/e2e/test_editor.py drives the editor",
    r"cmake -S \. -B build && cmake --build build -j2": "the build this test runs in",
    r"cd data && \.\./build/tumbix": "opens the game's window; the e2e tests play it",
    r"bench/(fps|cost)( .*)?": "benchmarks of minutes",
    r"cmake -S \. -B build-tsan .*|cmake --build build-tsan .*|cd data && \.\./build-tsan/.*":
        "a separate ThreadSanitizer build of minutes",
    r"tools/look_compare\.py( .*)?": "draws two versions of the game at many moments: minutes",
    r"tools/play_line\.py( .*)?": "plays levels in the real game under Xvfb: a minute a level",
    r"score = .*": "a formula, not a command",
}


def commands(path):
    """(line number, command) of the doc's code blocks, comments removed."""
    found = []
    fenced = False
    previous = last_paragraph = ""
    in_block = False
    with open(path) as f:
        lines = f.read().split("\n")
    for number, line in enumerate(lines, 1):
        if line.startswith("```"):
            fenced = not fenced
        elif fenced:
            if line.startswith("$ "):
                found.append((number, line[2:]))
        elif line.startswith("    ") and line.strip() and (in_block or not previous.strip()):
            # an indented block starts after a blank line, not inside a list item
            if in_block or not re.match(r"\s*([-*]|\d+\.) ", last_paragraph):
                in_block = True
                found.append((number, line.strip()))
        else:
            in_block = False
        if line.strip() and not line.startswith("    "):
            last_paragraph = line
        previous = line
    return [(n, re.sub(r"\s+#.*$", "", c).strip()) for n, c in found]


def copy_tree(dest):
    files = subprocess.run(["git", "-C", ROOT, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                           capture_output=True, text=True, check=True).stdout
    for rel in filter(None, files.split("\0")):
        src = os.path.join(ROOT, rel)
        if os.path.isfile(src) and not rel.startswith("build/"):
            os.makedirs(os.path.dirname(os.path.join(dest, rel)), exist_ok=True)
            shutil.copy2(src, os.path.join(dest, rel))


def snapshot(folder):
    out = {}
    for d, _, names in os.walk(folder):
        for n in names:
            p = os.path.join(d, n)
            with open(p, "rb") as f:
                out[os.path.relpath(p, folder)] = f.read()
    return out


class DocumentedCommands(unittest.TestCase):
    def test_every_command_is_classified(self):
        for doc in DOCS:
            for number, command in commands(os.path.join(ROOT, doc)):
                with self.subTest(f"{doc}:{number}"):
                    run = any(re.fullmatch(p, command) for p in RUN)
                    skip = any(re.fullmatch(p, command) for p in SKIP)
                    self.assertTrue(run or skip, f"{doc}:{number}: {command!r} is neither run nor skipped")
                    self.assertFalse(run and skip, command)

    def test_the_safe_ones_run_as_printed_and_leave_data_alone(self):
        if not os.path.exists(os.path.join(BUILD, "levelcheck")):
            self.skipTest(f"{BUILD} has no levelcheck")
        scratch = tempfile.mkdtemp(prefix="tumbix-docs-")
        self.addCleanup(shutil.rmtree, scratch, True)
        tree = os.path.join(scratch, "tumbix")
        copy_tree(tree)
        os.symlink(os.path.abspath(BUILD), os.path.join(tree, "build"))
        before = snapshot(os.path.join(tree, "data"))
        ran = []
        for doc in DOCS:
            for number, command in commands(os.path.join(tree, doc)):
                if not any(re.fullmatch(p, command) for p in RUN):
                    continue
                with self.subTest(f"{doc}:{number}"):
                    r = subprocess.run(["sh", "-c", command], cwd=tree, capture_output=True, text=True, timeout=600)
                    self.assertEqual(r.returncode, 0, f"{command}\n{r.stdout[-2000:]}{r.stderr[-2000:]}")
                    ran.append(command)
        self.assertGreaterEqual(len(ran), len(RUN), ran)
        self.assertEqual(snapshot(os.path.join(tree, "data")).keys(), before.keys(), "a command wrote into data/")
        self.assertTrue(snapshot(os.path.join(tree, "data")) == before, "a command changed a file in data/")


if __name__ == "__main__":
    unittest.main()
