"""The Debian packages: their files, the validators, the installed game and
level tools, and a second build of both from another folder, byte for byte.

Needs TUMBIX_DEB and TUMBIX_TOOLS_DEB (the .deb files that one `cpack` run
built) and TUMBIX_BUILD (the build folder); ctest sets them (label
package). A validator that is not installed skips its case.
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
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402

DEB = os.environ.get("TUMBIX_DEB", "")
TOOLS_DEB = os.environ.get("TUMBIX_TOOLS_DEB", "")
BUILD = os.environ.get("TUMBIX_BUILD", os.path.join(ROOT, "build"))
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]

TOOLS = ["tumbix-edit", "levelcheck", "levelgen"]


def unpack(deb, root):
    subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
    return root


def lintian_problems(deb):
    """Errors and warnings lintian reports for `deb` (overrides shipped in
    the package apply), and its whole report."""
    r = run("lintian", "--display-info", "--pedantic", deb)
    print(f"lintian: status {r.returncode}\n{r.stdout}")
    tags = re.findall(r"(?m)^([EWIPX]): tumbix[^:]*: (\S+)", r.stdout)
    return [f"{level}: {tag}" for level, tag in tags if level in "EW"], r.stdout


def manual_page_warnings(page):
    r = run("man", "--warnings", "-l", page, env={**os.environ, "MANWIDTH": "80", "LC_ALL": "C.UTF-8"})
    return r.returncode, r.stderr, r.stdout


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
        m = re.fullmatch(r"tumbix_([0-9][^_-]*-[0-9]+)_([a-z0-9]+)\.deb", os.path.basename(DEB))
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
                     "share/doc/tumbix/copyright", "share/doc/tumbix/changelog.Debian.gz"):
            self.assertTrue(os.path.isfile(os.path.join(self.usr, name)), name)
        # Nothing outside /usr, no empty or stray top-level folders.
        self.assertEqual(os.listdir(self.root), ["usr"])
        self.assertEqual(sorted(os.listdir(self.usr)), ["games", "lib", "share"])
        self.assertEqual(os.listdir(os.path.join(self.usr, "games")), ["tumbix"])

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
        for name in ("share/man/man6/tumbix.6.gz", "share/doc/tumbix/changelog.Debian.gz"):
            with open(os.path.join(self.usr, name), "rb") as f:
                head = f.read(8)
            self.assertEqual(head[4:8], b"\0\0\0\0", f"{name} carries a time stamp")

    def test_changelog_and_metainfo_name_the_package_version(self):
        version = run("dpkg-deb", "-f", DEB, "Version").stdout.strip()
        with gzip.open(os.path.join(self.usr, "share/doc/tumbix/changelog.Debian.gz"), "rt") as f:
            self.assertTrue(f.readline().startswith(f"tumbix ({version}) "))
        upstream = version.rsplit("-", 1)[0]  # the Debian revision is the package's, not the game's
        with open(self.metainfo()) as f:
            self.assertIn(f'<release version="{upstream}"', f.read())
        with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
            self.assertRegex(f.read(), rf"project\(tumbix VERSION {re.escape(upstream)} ")

    def test_licence_in_machine_readable_form(self):
        with open(os.path.join(self.usr, "share/doc/tumbix/copyright")) as f:
            text = f.read()
        self.assertTrue(text.startswith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"))
        paragraphs = [p for p in text.split("\n\n") if p.startswith("Files:")]
        files = [re.match(r"Files: (.+)", p).group(1).split() for p in paragraphs]
        self.assertEqual(files[0], ["*"])
        for names in files:  # source paths: each names files of the source tree
            for name in names:
                self.assertTrue(glob.glob(os.path.join(ROOT, name)), f"{name} is not a source path")
        self.assertRegex(text, r"(?m)^License: Expat$")
        with open(os.path.join(ROOT, "LICENSE")) as f:
            self.assertTrue(f.read().startswith("MIT License"))
        with open(self.metainfo()) as f:
            meta = f.read()
        self.assertIn("<project_license>MIT</project_license>", meta)
        self.assertIn("<metadata_license>MIT</metadata_license>", meta)

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
        # With the network checks on: whatever the metadata links must be
        # reachable, and offline that is nothing (no home page is set).
        r = run("appstreamcli", "validate", "--pedantic", self.metainfo(), timeout=120)
        print(f"appstreamcli validate: status {r.returncode}\n{r.stdout}{r.stderr}")
        self.assertEqual(r.returncode, 0)
        self.assertEqual(re.findall(r"(?m)^[EW]: .*", r.stdout), [])
        with open(self.metainfo()) as f:
            text = f.read()
        for needed in ("<description>", "<content_rating", "tumbix.desktop</launchable>", "<display_length"):
            self.assertIn(needed, text)
        self.assertNotIn(".example", text)

    @unittest.skipUnless(have("man"), "man-db not installed")
    def test_manual_page_renders_without_warnings(self):
        status, warnings, text = manual_page_warnings(os.path.join(self.usr, "share", "man", "man6", "tumbix.6.gz"))
        self.assertEqual((status, warnings), (0, ""))
        for section in ("CONTROLS", "FILES", "CONSOLE LOG", "EXIT STATUS"):
            self.assertIn(section, text)

    @unittest.skipUnless(have("lintian"), "lintian not installed")
    def test_lintian_has_no_errors_or_warnings(self):
        problems, report = lintian_problems(DEB)
        self.assertEqual(problems, [], report)

    def test_cmake_install_with_destdir_gives_the_files_of_both_packages(self):
        dest = os.path.join(self.scratch, "destdir")
        r = run("cmake", "--install", BUILD, "--prefix", "/opt/tumbix", env={**os.environ, "DESTDIR": dest})
        self.assertEqual(r.returncode, 0, r.stderr)
        tools = unpack(TOOLS_DEB, os.path.join(self.scratch, "tools-root"))
        self.assertEqual(files_under(os.path.join(dest, "opt", "tumbix")),
                         files_under(self.usr) | files_under(os.path.join(tools, "usr")))


class ToolsValidators(unittest.TestCase):
    """tumbix-tools: the level designer's programs, their manual pages, the
    level format and the editor's desktop entry."""

    @classmethod
    def setUpClass(cls):
        if not TOOLS_DEB or not os.path.exists(TOOLS_DEB):
            raise unittest.SkipTest(f"package not built: {TOOLS_DEB!r}")
        cls.scratch = tempfile.mkdtemp(prefix="tumbix tools ")
        cls.usr = os.path.join(unpack(TOOLS_DEB, os.path.join(cls.scratch, "root")), "usr")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def test_control_fields_and_the_game_it_needs(self):
        fields = {f: run("dpkg-deb", "-f", TOOLS_DEB, f).stdout.strip() for f in
                  ("Package", "Version", "Section", "Depends")}
        game_version = run("dpkg-deb", "-f", DEB, "Version").stdout.strip() if DEB else fields["Version"]
        self.assertEqual(fields["Package"], "tumbix-tools")
        self.assertEqual(fields["Version"], game_version)
        self.assertEqual(fields["Section"], "games")
        self.assertRegex(fields["Depends"], rf"(^|, )tumbix \(= {re.escape(game_version)}\)")
        self.assertRegex(fields["Depends"], r"(^|, )libglfw3 \(>= ")

    def test_layout(self):
        self.assertEqual(sorted(os.listdir(os.path.join(self.usr, "games"))), sorted(TOOLS))
        for name in TOOLS:
            path = os.path.join(self.usr, "games", name)
            self.assertEqual(stat.S_IMODE(os.stat(path).st_mode), 0o755, path)
            self.assertNotIn(".debug_info", run("objdump", "-h", path).stdout, f"{name} not stripped")
            self.assertTrue(os.path.isfile(os.path.join(self.usr, "share", "man", "man6", f"{name}.6.gz")), name)
        with gzip.open(os.path.join(self.usr, "share", "doc", "tumbix-tools", "levels.md.gz"), "rt") as f:
            shipped = f.read()
        with open(os.path.join(ROOT, "docs", "levels.md")) as f:
            self.assertEqual(shipped, f.read())
        for name in ("copyright", "changelog.Debian.gz"):
            self.assertTrue(os.path.isfile(os.path.join(self.usr, "share", "doc", "tumbix-tools", name)), name)
        # no source tree path compiled into the editor
        with open(os.path.join(self.usr, "games", "tumbix-edit"), "rb") as f:
            self.assertNotIn(ROOT.encode(), f.read())

    @unittest.skipUnless(have("man"), "man-db not installed")
    def test_manual_pages_render_without_warnings(self):
        for name in TOOLS:
            with self.subTest(name):
                status, warnings, text = manual_page_warnings(
                    os.path.join(self.usr, "share", "man", "man6", f"{name}.6.gz"))
                self.assertEqual((status, warnings), (0, ""))
                for section in ("SYNOPSIS", "DESCRIPTION", "EXIT STATUS"):
                    self.assertIn(section, text)

    @unittest.skipUnless(have("desktop-file-validate"), "desktop-file-utils not installed")
    def test_editor_desktop_entry(self):
        path = os.path.join(self.usr, "share", "applications", "tumbix-edit.desktop")
        r = run("desktop-file-validate", path)
        self.assertEqual((r.returncode, r.stdout + r.stderr), (0, ""))
        with open(path) as f:
            entry = f.read()
        self.assertRegex(entry, r"(?m)^Exec=tumbix-edit %f$")
        self.assertRegex(entry, r"(?m)^StartupWMClass=tumbix-edit$")
        self.assertRegex(entry, r"(?m)^Categories=Development;$")

    @unittest.skipUnless(have("lintian"), "lintian not installed")
    def test_lintian_has_no_errors_or_warnings(self):
        problems, report = lintian_problems(TOOLS_DEB)
        self.assertEqual(problems, [], report)


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


class InstalledTools(PackageCase):
    """Both packages unpacked into one tree, the tools started from it in a
    folder that has nothing to do with the game."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        if not TOOLS_DEB or not os.path.exists(TOOLS_DEB):
            raise unittest.SkipTest(f"package not built: {TOOLS_DEB!r}")
        unpack(TOOLS_DEB, cls.root)
        cls.games = os.path.join(cls.usr, "games")
        cls.levels = os.path.join(cls.scratch, "my levels", "maps")
        os.makedirs(cls.levels)

    def test_levelgen_writes_a_level_levelcheck_proves(self):
        level = os.path.join(self.levels, "b.xml")
        gen = run(os.path.join(self.games, "levelgen"), "--seed", "5", "--shape", "bridges", "--blocks", "20..30",
                  "--min-heights", "3", "--min-turns", "2", "--max-turns", "4", "-o", level, cwd=self.scratch,
                  timeout=240)
        self.assertEqual(gen.returncode, 0, gen.stdout + gen.stderr)
        check = run(os.path.join(self.games, "levelcheck"), "--stats", level, cwd=self.scratch, timeout=120)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        self.assertIn("all levels can be won", check.stdout)
        shipped = os.path.join(self.usr, "share", "games", "tumbix", "maps", "level4.xml")
        check = run(os.path.join(self.games, "levelcheck"), shipped, cwd=self.scratch, timeout=120)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)

    def test_editor_finds_the_content_and_plays_the_edited_level_in_the_installed_game(self):
        level = os.path.join(self.levels, "mine.xml")
        shutil.copy(os.path.join(self.usr, "share", "games", "tumbix", "maps", "level4.xml"), level)
        with open(level) as f:
            blocks = len(re.findall(r"<block\b", f.read()))
        with open(os.path.join(self.usr, "share", "games", "tumbix", "maps", "level0.xml")) as f:
            self.assertNotEqual(blocks, len(re.findall(r"<block\b", f.read())), "pick a level unlike level0")
        harness.DATA = tempfile.mkdtemp(prefix="unrelated-", dir=self.scratch)  # the working folder
        with harness.GameRun("installed-editor", binary=os.path.join(self.games, "tumbix-edit"),
                             args=[level]) as run_:
            run_.wait_line("editor ready", timeout=60)
            errors = [line for line in run_.lines if "ERROR" in line or "WARN" in line]
            self.assertEqual(errors, [], "content not found from the editor's folder")
            with open(os.path.join(self.usr, "share", "applications", "tumbix-edit.desktop")) as f:
                wm_class = re.search(r"(?m)^StartupWMClass=(.+)$", f.read()).group(1)
            found = subprocess.run(["xdotool", "search", "--class", f"^{wm_class}$"], env=run_.env,
                                   capture_output=True, text=True).stdout.split()
            self.assertEqual(found, [str(run_.window_id())])
            run_.key("p")
            line = run_.lines[run_.wait_line("playing in ", exact=False)]
            folder = re.match(r"playing in (\S+) ", line).group(1)
            log = os.path.join(folder, "console.log")
            deadline = time.time() + 60
            text = ""
            while time.time() < deadline and "Level consists of" not in text:
                time.sleep(0.2)
                with open(log) as f:
                    text = f.read()
            # the edited level, not the campaign's first one
            self.assertEqual(re.findall(r"Level consists of \d+ blocks", text)[:1], [f"Level consists of {blocks} blocks"],
                             text[-2000:])


class Reproducible(unittest.TestCase):
    """The packages built twice, from copies of the tree in two folders, are
    the same bytes: the compilers see the source folder as "." and the
    archives carry the last commit's time. Only what the packages contain is
    built."""

    def build_packages(self, tree, epoch):
        build = os.path.join(tree, "build")
        env = {**os.environ, "SOURCE_DATE_EPOCH": epoch}
        env.pop("DEBFULLNAME", None)
        env.pop("DEBEMAIL", None)
        steps = [["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DTUMBIX_TESTS=OFF",
                  "-DTUMBIX_BENCH=OFF", "-DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON"],
                 ["cmake", "--build", build, "-j", str(os.cpu_count() or 2), "--target", "tumbix", *TOOLS,
                  "tumbix_package_docs"],
                 ["cpack", "-G", "DEB"]]
        for step in steps:
            r = subprocess.run(step, cwd=build if step[0] == "cpack" else tree, env=env, capture_output=True,
                               text=True, timeout=900)
            self.assertEqual(r.returncode, 0, f"{step}: {r.stdout[-3000:]}{r.stderr[-3000:]}")
        return sorted(glob.glob(os.path.join(build, "*.deb")))

    def test_two_builds_from_two_folders_give_the_same_packages(self):
        if not have("git") or run("git", "-C", ROOT, "rev-parse").returncode != 0:
            self.skipTest("not a git checkout")
        epoch = run("git", "-C", ROOT, "log", "-1", "--format=%ct").stdout.strip()
        scratch = tempfile.mkdtemp(prefix="tumbix-twice-")
        self.addCleanup(shutil.rmtree, scratch, True)
        # the tree as committed, plus what the working copy changed or added
        files = run("git", "-C", ROOT, "ls-files", "-z", "--cached", "--others", "--exclude-standard").stdout
        debs = []
        for folder in ("a/tumbix", "the other one/deeper/tumbix"):  # a space: dpkg-buildflags maps no such path
            tree = os.path.join(scratch, folder)
            for rel in filter(None, files.split("\0")):
                src = os.path.join(ROOT, rel)
                if os.path.isfile(src):
                    os.makedirs(os.path.dirname(os.path.join(tree, rel)), exist_ok=True)
                    shutil.copy2(src, os.path.join(tree, rel))
            debs.append(self.build_packages(tree, epoch))
        self.assertEqual([os.path.basename(d) for d in debs[0]], [os.path.basename(d) for d in debs[1]])
        self.assertEqual(len(debs[0]), 2, debs[0])
        for first, second in zip(*debs):
            with self.subTest(os.path.basename(first)):
                with open(first, "rb") as a, open(second, "rb") as b:
                    if a.read() == b.read():
                        continue
                # say which files differ
                roots = [unpack(d, os.path.join(scratch, f"x{i}-{os.path.basename(d)}")) for i, d in
                         enumerate((first, second))]
                differing = []
                for rel in sorted(files_under(roots[0]) | files_under(roots[1])):
                    paths = [os.path.join(r, rel) for r in roots]
                    if not all(os.path.exists(p) for p in paths) or run("cmp", "-s", *paths).returncode:
                        differing.append(rel)
                os.makedirs(os.path.join(os.environ.get("TUMBIX_OUT", scratch), "twice"), exist_ok=True)
                for i, d in enumerate((first, second)):
                    shutil.copy(d, os.path.join(os.environ.get("TUMBIX_OUT", scratch), "twice", f"{i}-" +
                                                os.path.basename(d)))
                self.fail(f"{os.path.basename(first)} differs; files: {differing or 'none (the archives)'}")
        # the archives' times are the commit's
        listing = run("sh", "-c", f"dpkg-deb --fsys-tarfile '{debs[0][0]}' | tar -tv --full-time",
                      env={**os.environ, "TZ": "UTC"}).stdout
        stamps = set(re.findall(r" (\d{4}-\d\d-\d\d \d\d:\d\d:\d\d) ", listing))
        expected = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(int(epoch)))
        self.assertEqual(stamps, {expected}, listing[:500])


if __name__ == "__main__":
    unittest.main()
