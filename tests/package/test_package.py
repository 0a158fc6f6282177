"""The Debian package: its files, the validators, and the installed game.

Needs TUMBIX_DEB (the .deb that `cpack` built) and TUMBIX_BUILD (the build
folder); ctest sets both (label package). A validator that is not installed
skips its case.
"""
import glob
import gzip
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402

DEB = os.environ.get("TUMBIX_DEB", "")
BUILD = os.environ.get("TUMBIX_BUILD", os.path.join(ROOT, "build"))
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]

# Lintian tags below error level that the package keeps, each with its reason.
# Info tags are shown in the log but do not fail the case.
KEPT_LINTIAN_WARNINGS = {}


def unpack(deb, root):
    subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
    return root


def have(tool):
    return shutil.which(tool) is not None


def run(*cmd, **kw):
    return subprocess.run(cmd, capture_output=True, text=True, **kw)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


def files_under(root):
    out = set()
    for d, _, names in os.walk(root):
        for n in names:
            out.add(os.path.relpath(os.path.join(d, n), root))
    return out


class PackageCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not DEB or not os.path.exists(DEB):
            raise unittest.SkipTest(f"package not built: {DEB!r}")
        cls.scratch = tempfile.mkdtemp(prefix="tumbix package ")  # a space on purpose
        cls.root = unpack(DEB, os.path.join(cls.scratch, "root"))
        cls.usr = os.path.join(cls.root, "usr")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def metainfo(self):
        found = glob.glob(os.path.join(self.usr, "share", "metainfo", "*.metainfo.xml"))
        self.assertEqual(len(found), 1, found)
        return found[0]


class Validators(PackageCase):
    def test_file_name_and_control_fields(self):
        m = re.fullmatch(r"tumbix_([0-9][^_]*)_([a-z0-9]+)\.deb", os.path.basename(DEB))
        self.assertIsNotNone(m, DEB)
        fields = {f: run("dpkg-deb", "-f", DEB, f).stdout.strip() for f in
                  ("Package", "Version", "Architecture", "Section", "Depends", "Description")}
        self.assertEqual(fields["Package"], "tumbix")
        self.assertEqual((fields["Version"], fields["Architecture"]), m.groups())
        self.assertEqual(fields["Section"], "games")
        # Computed from the program: every library it links, with versions.
        for lib in ("libglfw3", "libglew", "libsdl2-mixer", "libtinyxml", "libc6", "libstdc++6"):
            self.assertRegex(fields["Depends"], rf"(^|, ){re.escape(lib)}[^,]* \(>= ", lib)

    def test_layout(self):
        launcher = os.path.join(self.usr, "games", "tumbix")
        program = os.path.join(self.usr, "lib", "games", "tumbix", "tumbix")
        for path in (launcher, program):
            mode = os.stat(path).st_mode
            self.assertEqual(stat.S_IMODE(mode), 0o755, path)
        with open(program, "rb") as f:
            self.assertEqual(f.read(4), b"\x7fELF")
        self.assertNotIn(".debug_info", run("objdump", "-h", program).stdout, "program not stripped")
        for name in ("share/applications/tumbix.desktop", "share/man/man6/tumbix.6.gz",
                     "share/doc/tumbix/copyright", "share/doc/tumbix/changelog.gz"):
            self.assertTrue(os.path.isfile(os.path.join(self.usr, name)), name)
        # Nothing outside /usr, no empty or stray top-level folders.
        self.assertEqual(os.listdir(self.root), ["usr"])
        self.assertEqual(sorted(os.listdir(self.usr)), ["games", "lib", "share"])

    def test_content_is_the_data_folder_byte_for_byte(self):
        shipped = os.path.join(self.usr, "share", "games", "tumbix")
        data = os.path.join(ROOT, "data")
        self.assertEqual(files_under(shipped), files_under(data))
        for rel in files_under(data):
            with open(os.path.join(data, rel), "rb") as a, open(os.path.join(shipped, rel), "rb") as b:
                self.assertEqual(a.read(), b.read(), rel)

    def test_icons_in_every_size(self):
        for n in ICON_SIZES:
            path = os.path.join(self.usr, "share", "icons", "hicolor", f"{n}x{n}", "apps", "tumbix.png")
            with self.subTest(size=n):
                self.assertEqual(png_size(path), (n, n))

    def test_compressed_docs_have_no_time_stamp(self):
        for name in ("share/man/man6/tumbix.6.gz", "share/doc/tumbix/changelog.gz"):
            with open(os.path.join(self.usr, name), "rb") as f:
                head = f.read(8)
            self.assertEqual(head[4:8], b"\0\0\0\0", f"{name} carries a time stamp")

    def test_changelog_and_metainfo_name_the_package_version(self):
        version = run("dpkg-deb", "-f", DEB, "Version").stdout.strip()
        with gzip.open(os.path.join(self.usr, "share/doc/tumbix/changelog.gz"), "rt") as f:
            self.assertTrue(f.readline().startswith(f"tumbix ({version}) "))
        with open(self.metainfo()) as f:
            self.assertIn(f'<release version="{version}"', f.read())

    @unittest.skipUnless(have("desktop-file-validate"), "desktop-file-utils not installed")
    def test_desktop_file_validate(self):
        path = os.path.join(self.usr, "share", "applications", "tumbix.desktop")
        r = run("desktop-file-validate", path)
        print(f"desktop-file-validate: status {r.returncode} {r.stdout}{r.stderr}")
        self.assertEqual((r.returncode, r.stdout + r.stderr), (0, ""))
        with open(path) as f:
            entry = f.read()
        self.assertRegex(entry, r"(?m)^Categories=.*\bGame;.*\bLogicGame;")
        self.assertRegex(entry, r"(?m)^Exec=tumbix$")
        self.assertRegex(entry, r"(?m)^Icon=tumbix$")

    @unittest.skipUnless(have("appstreamcli"), "appstream not installed")
    def test_appstream_validate(self):
        r = run("appstreamcli", "validate", "--no-net", "--pedantic", self.metainfo())
        print(f"appstreamcli validate: status {r.returncode}\n{r.stdout}{r.stderr}")
        self.assertEqual(r.returncode, 0)
        with open(self.metainfo()) as f:
            text = f.read()
        for needed in ("<description>", "<screenshot", "<content_rating", "tumbix.desktop</launchable>"):
            self.assertIn(needed, text)

    @unittest.skipUnless(have("man"), "man-db not installed")
    def test_manual_page_renders_without_warnings(self):
        page = os.path.join(self.usr, "share", "man", "man6", "tumbix.6.gz")
        r = run("man", "--warnings", "-l", page, env={**os.environ, "MANWIDTH": "80", "LC_ALL": "C.UTF-8"})
        self.assertEqual((r.returncode, r.stderr), (0, ""))
        for section in ("CONTROLS", "FILES", "CONSOLE LOG"):
            self.assertIn(section, r.stdout)

    @unittest.skipUnless(have("lintian"), "lintian not installed")
    def test_lintian_has_no_errors_and_only_known_warnings(self):
        r = run("lintian", "--display-info", "--pedantic", DEB)
        print(f"lintian: status {r.returncode}\n{r.stdout}")
        tags = re.findall(r"(?m)^([EWIPX]): tumbix[^:]*: (\S+)", r.stdout)
        bad = [f"{level}: {tag}" for level, tag in tags
               if level == "E" or (level == "W" and tag not in KEPT_LINTIAN_WARNINGS)]
        self.assertEqual(bad, [], r.stdout)

    def test_cmake_install_with_destdir_gives_the_package_files(self):
        dest = os.path.join(self.scratch, "destdir")
        r = run("cmake", "--install", BUILD, "--prefix", "/opt/tumbix", env={**os.environ, "DESTDIR": dest})
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(files_under(os.path.join(dest, "opt", "tumbix")), files_under(self.usr))


class InstalledGame(PackageCase):
    """The unpacked package, started through its launcher from a folder that
    has nothing to do with the game."""

    def play_first_level(self, name, launcher):
        level0 = os.path.join(self.usr, "share", "games", "tumbix", "maps", "level0.xml")
        with open(level0) as f:
            following = re.search(r'next="([^"]+)"', f.read()).group(1)
        harness.BINARY = launcher
        harness.DATA = tempfile.mkdtemp(prefix="unrelated-", dir=self.scratch)  # the working folder
        with harness.GameRun(name) as game:
            first = game.wait_line(f"next level is {following}", timeout=60)
            last = game.wait_line("Level consists of", timeout=30, exact=False)
            self.assertRegex(game.lines[last], r"^Level consists of [1-9]\d* blocks$")
            errors = [line for line in game.lines[:last + 1] if "ERROR" in line or "WARN" in line]
            self.assertEqual(errors, [], "content not found from the launcher")
            self.assertGreater(first, 0)
            # The desktop finds the menu entry (and its icon) for the window by class.
            with open(os.path.join(self.usr, "share", "applications", "tumbix.desktop")) as f:
                wm_class = re.search(r"(?m)^StartupWMClass=(.+)$", f.read()).group(1)
            found = subprocess.run(["xdotool", "search", "--class", f"^{wm_class}$"], env=game.env,
                                   capture_output=True, text=True).stdout.split()
            self.assertEqual(found, [str(game.window_id())])
            game.key("Escape")
            self.assertEqual(game.wait_exit(), 0)

    def test_launcher_from_an_unrelated_folder(self):
        self.play_first_level("installed", os.path.join(self.usr, "games", "tumbix"))

    def test_launcher_through_a_symbolic_link(self):
        bin_dir = os.path.join(self.scratch, "bin")
        os.makedirs(bin_dir, exist_ok=True)
        link = os.path.join(bin_dir, "tumbix")
        os.symlink(os.path.join(self.usr, "games", "tumbix"), link)
        self.play_first_level("installed-link", link)


if __name__ == "__main__":
    unittest.main()
