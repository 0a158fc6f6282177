"""End-to-end harness: the real game under Xvfb, driven with xdotool.

Each GameRun starts its own Xvfb on a free display, copies data/ into a
scratch folder (so a case can add or break files), starts the game there and
reads its console lines in a background thread. Everything started is
stopped by process id when the run ends. On failure a screenshot is saved.

Cases never wait for a fixed time before they look: the game runs with
TUMBIX_FRAME_LINES, prints "frame drawn" after every presented frame, and
wait_frames waits for frames drawn after a console line (those lines are
counted, not kept in `lines`). A fresh machine with an empty shader cache
may take seconds for the first frame; the waits take that in their stride.
"""
import os
import queue
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
BINARY = os.environ.get("TUMBIX_BINARY", os.path.join(ROOT, "build", "tumbix"))
DATA = os.environ.get("TUMBIX_DATA", os.path.join(ROOT, "data"))
OUT = os.environ.get("TUMBIX_OUT", os.path.join(ROOT, "out", "e2e"))

# Startup lines up to the driver probe, exactly as printed.
BANNER = "Tumbixixixixii Debug Console starting along the X-axis..."
# The line the game prints after each presented frame (TUMBIX_FRAME_LINES):
# how many on-screen messages it showed and, with TUMBIX_RENDER_COMPARE, how
# many pixels differed from the plain drawing and how many of those were
# depth ties (the same depth in both drawings: the drawing order chose).
FRAME_LINE = re.compile(r"frame drawn: (\d+) messages(?:, (\d+) pixels differ from the reference"
                        r"(?:, (\d+) of them at depth ties)?)?")


class Frame:
    """A presented frame: `after` lines had been printed before it; it showed
    `messages` on-screen messages; `differing` pixels differed from the plain
    drawing (None: not compared), `ties` of them at depth ties."""

    def __init__(self, after, messages, differing, ties=0):
        self.after, self.messages, self.differing, self.ties = after, messages, differing, ties


def parse_frame(line, after):
    """Returns the Frame of a frame line, or None for any other line."""
    m = FRAME_LINE.fullmatch(line)
    if not m:
        return None
    return Frame(after, int(m.group(1)), None if m.group(2) is None else int(m.group(2)),
                 int(m.group(3) or 0))


class Xvfb:
    """A private X server on the first free display number."""

    def __init__(self, width=1280, height=1024, extra_args=()):
        self.proc = None
        for n in range(90, 200):
            if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
                continue
            proc = subprocess.Popen(
                ["Xvfb", f":{n}", "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp", "-noreset",
                 *extra_args],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
            deadline = time.time() + 10
            while time.time() < deadline:
                if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                    self.proc, self.display = proc, f":{n}"
                    return
                if proc.poll() is not None:
                    break
                time.sleep(0.05)
            _kill(proc)
        raise RuntimeError("could not start Xvfb")

    def stop(self):
        _kill(self.proc)


def _kill(proc):
    if proc is None or proc.poll() is not None:
        return
    try:
        os.killpg(proc.pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait(5)


class GameRun:
    """One run of the game. Use as a context manager."""

    def __init__(self, name, display=True, audio="dummy", env=None, prepare=None, args=(), binary=None,
                 xvfb_args=(), layout=None, screen=(1280, 1024)):
        self.name = name
        self.lines = []
        self.frames = []  # Frame records, in order
        self._queue = queue.Queue()
        self._read = 0
        self.xvfb = Xvfb(*screen, extra_args=xvfb_args) if display else None
        self.scratch = tempfile.mkdtemp(prefix=f"tumbix-{name}-")
        self.data = os.path.join(self.scratch, "data")
        shutil.copytree(DATA, self.data)
        if prepare:
            prepare(self.data)
        e = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "SDL_AUDIODRIVER")}
        if self.xvfb:
            e["DISPLAY"] = self.xvfb.display
        if audio:
            e["SDL_AUDIODRIVER"] = audio
        if audio == "disk":
            self.audio_file = os.path.join(self.scratch, "audio.raw")
            e["SDL_DISKAUDIOFILE"] = self.audio_file
        if layout:  # the X server's keyboard layout, set before the game reads it
            subprocess.run(["setxkbmap", "-display", self.xvfb.display, layout], check=True, timeout=30)
        e["TUMBIX_GL_CHECK"] = "1"  # every frame's GL errors reach the console
        e["TUMBIX_FRAME_LINES"] = "1"  # every presented frame is announced
        e.update(env or {})
        self.env = e
        self.proc = subprocess.Popen([binary or BINARY, *args], cwd=self.data, env=e, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                     start_new_session=True, text=True, bufsize=1)
        self._reader = threading.Thread(target=self._pump, daemon=True)
        self._reader.start()

    def _pump(self):
        for line in self.proc.stdout:
            self._queue.put(line.rstrip("\n"))
        self._queue.put(None)

    def __enter__(self):
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            self.screenshot(f"{self.name}-failure.png")
            self.save_log(f"{self.name}-failure.log")
        self.stop()
        return False

    # --- console ---------------------------------------------------------
    def _take(self, timeout):
        try:
            line = self._queue.get(timeout=timeout)
        except queue.Empty:
            return False
        if line is None:
            self._queue.put(None)
            return None
        frame = parse_frame(line, len(self.lines))
        if frame:
            self.frames.append(frame)
        else:
            self.lines.append(line)
        return True

    def _pending(self):
        """Takes every line that has arrived already."""
        while self._take(0) is True:
            pass

    def wait_line(self, text, timeout=20.0, exact=True):
        """Waits for a line equal to (or, exact=False, containing) text among
        the lines not yet consumed; returns its index in self.lines."""
        deadline = time.time() + timeout
        while True:
            while self._read < len(self.lines):
                line = self.lines[self._read]
                self._read += 1
                if line == text or (not exact and text in line):
                    return self._read - 1
            left = deadline - time.time()
            if left <= 0:
                raise AssertionError(f"timed out waiting for {text!r}; last lines: {self.lines[-15:]}")
            got = self._take(min(left, 0.2))
            if got is None:
                raise AssertionError(f"program ended before {text!r}; lines: {self.lines[-15:]}")

    def frames_after(self, index):
        """Frames presented after line `index` was printed."""
        return [f for f in self.frames if f.after > index]

    def wait_frames(self, count=3, after=None, timeout=120.0):
        """Waits until `count` frames have been presented after line `after`
        (default: after everything printed so far) and returns them. The key
        handler runs just before a frame is presented, so the first frame
        after a key's line still shows the old state, the second the new one,
        and by the third the second has surely reached the X server: three
        frames after a line, a screenshot shows what the line changed."""
        self._pending()
        if after is None:
            first = len(self.frames) - 1
        else:
            first = next((i for i, f in enumerate(self.frames) if f.after > after), len(self.frames)) - 1
        return self._frames_from(first, count, time.time() + timeout)

    def settle(self, count=3, timeout=120.0):
        """Waits for a frame without on-screen messages (they expire by the
        game's clock), then for `count` frames after it, the last of which
        is surely on the X server; returns those frames."""
        deadline = time.time() + timeout
        self._pending()
        seen = len(self.frames)
        while True:
            quiet = next((i for i in range(seen, len(self.frames)) if self.frames[i].messages == 0), None)
            if quiet is not None:
                break
            seen = len(self.frames)
            left = deadline - time.time()
            if left <= 0:
                raise AssertionError(f"messages still on screen after {timeout}s; last lines: {self.lines[-10:]}")
            if self._take(min(left, 0.2)) is None:
                raise AssertionError(f"program ended while settling; lines: {self.lines[-15:]}")
        return self._frames_from(quiet, count, deadline)

    def _frames_from(self, first, count, deadline):
        """Waits until frames[first + count] exists; returns frames[first + 1 .. first + count]."""
        while len(self.frames) <= first + count:
            left = deadline - time.time()
            if left <= 0:
                raise AssertionError(f"no {count} frames after frame {first}; last lines: {self.lines[-10:]}")
            if self._take(min(left, 0.2)) is None:
                raise AssertionError(f"program ended while waiting for frames; lines: {self.lines[-15:]}")
        return self.frames[first + 1:first + 1 + count]

    def drain(self, seconds=0.3):
        """Collects the lines that arrive within `seconds`."""
        deadline = time.time() + seconds
        while time.time() < deadline:
            if self._take(0.05) is None:
                break
        return self.lines

    def new_lines(self):
        """Lines arrived since the last wait_line/new_lines call."""
        self.drain(0.05)
        fresh = self.lines[self._read:]
        self._read = len(self.lines)
        return fresh

    def wait_exit(self, timeout=20.0):
        try:
            rc = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"program still running after {timeout}s; last lines: {self.lines[-10:]}")
        self._reader.join(5)
        self._pending()
        return rc

    # --- input -----------------------------------------------------------
    def xdo(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=10)

    def key(self, name, hold=0.05):
        """Holds a key for `hold` seconds, so both the key handler and a
        polling loop see it."""
        self.xdo("keydown", name)
        time.sleep(hold)
        self.xdo("keyup", name)

    def press_until(self, key, line, timeout=30.0, every=0.5):
        """Presses `key` every `every` seconds until `line` has been printed
        (a key the game refuses while something moves, like Space before a
        level is complete); returns whether it was."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            self.key(key)
            if line in self.drain(every):
                return True
        return line in self.lines

    def window_id(self, timeout=10.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            r = subprocess.run(["xdotool", "search", "--class", "^tumbix(-edit)?$"], env=self.env,
                               capture_output=True, text=True)
            ids = r.stdout.split()
            if ids:
                return int(ids[0])
            time.sleep(0.1)
        raise AssertionError("game window not found")

    def window_title(self):
        r = subprocess.run(["xdotool", "getwindowname", str(self.window_id())], env=self.env,
                           capture_output=True, text=True)
        return r.stdout.strip()

    def close_window(self):
        subprocess.run([sys.executable, os.path.join(HERE, "xclose.py"), str(self.window_id())],
                       env=self.env, check=True, timeout=10)

    # --- output ----------------------------------------------------------
    def grab(self):
        """The screen now, as RGB bytes (see grab_screen)."""
        return grab_screen(self.xvfb.display)

    def screenshot(self, filename):
        if not self.xvfb:
            return None
        os.makedirs(OUT, exist_ok=True)
        path = os.path.join(OUT, filename)
        subprocess.run(["import", "-display", self.xvfb.display, "-window", "root", path],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        return path

    def save_log(self, filename):
        os.makedirs(OUT, exist_ok=True)
        with open(os.path.join(OUT, filename), "w") as f:
            f.write("\n".join(self.lines) + "\n")

    def stop(self):
        _kill(self.proc)
        self._reader.join(timeout=5)  # the pipe ends with the process
        self.proc.stdout.close()
        if self.xvfb:
            self.xvfb.stop()
        shutil.rmtree(self.scratch, ignore_errors=True)


def grab_screen(display, width=1280, height=1024):
    """The screen of an X display as RGB bytes, rows from the top, read with
    one XGetImage: quicker than a screenshot tool, so it shows the frame on
    screen at the moment of the call even on a loaded machine."""
    import ctypes

    class XImage(ctypes.Structure):  # the leading fields of Xlib's XImage
        _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                    ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                    ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                    ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]

    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    x.XOpenDisplay.restype, x.XOpenDisplay.argtypes = ctypes.c_void_p, [ctypes.c_char_p]
    x.XDefaultRootWindow.restype, x.XDefaultRootWindow.argtypes = ctypes.c_ulong, [ctypes.c_void_p]
    x.XGetImage.restype = ctypes.POINTER(XImage)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                            ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x.XFree.argtypes = [ctypes.c_void_p]
    d = x.XOpenDisplay(display.encode())
    if not d:
        raise RuntimeError(f"cannot open display {display}")
    try:
        image = x.XGetImage(d, x.XDefaultRootWindow(d), 0, 0, width, height, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            raise RuntimeError("XGetImage failed")
        im = image.contents
        if im.bits_per_pixel != 32 or im.byte_order != 0:
            raise RuntimeError(f"unexpected screen format: {im.bits_per_pixel} bits, byte order {im.byte_order}")
        raw = ctypes.string_at(im.data, im.bytes_per_line * height)
        x.XFree(im.data)
        x.XFree(image)
    finally:
        x.XCloseDisplay(d)
    rgb = bytearray(width * height * 3)
    for y in range(height):  # BGRX words, little-endian
        row = raw[y * im.bytes_per_line: y * im.bytes_per_line + 4 * width]
        out = y * width * 3
        rgb[out + 0: out + 3 * width: 3] = row[2::4]
        rgb[out + 1: out + 3 * width: 3] = row[1::4]
        rgb[out + 2: out + 3 * width: 3] = row[0::4]
    return bytes(rgb)


def save_rgb(rgb, path, width=1280, height=1024):
    """Writes RGB bytes from grab_screen as an image file (by its extension)."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["convert", "-size", f"{width}x{height}", "-depth", "8", "rgb:-", path], input=rgb, check=True,
                   timeout=60)


def count_red(rgb, box, width=1280):
    """Pixels of bright red (message text) inside box (x, y, w, h) of RGB bytes."""
    bx, by, bw, bh = box
    count = 0
    for y in range(by, by + bh):
        row = rgb[3 * (y * width + bx): 3 * (y * width + bx + bw)]
        count += sum(1 for i in range(0, len(row), 3) if row[i] > 127 and row[i + 1] < 51 and row[i + 2] < 51)
    return count


def audio_level(path, start_fraction=0.0):
    """Peak absolute sample of SDL disk-audio output (16-bit stereo), from
    `start_fraction` of the file on."""
    import array
    with open(path, "rb") as f:
        raw = f.read()
    raw = raw[: len(raw) // 2 * 2]
    samples = array.array("h", raw)
    begin = int(len(samples) * start_fraction)
    return max((abs(s) for s in samples[begin:]), default=0)


class E2ECase(unittest.TestCase):
    """Base class: skips when the binary has not been built."""

    def setUp(self):
        if not os.path.exists(BINARY):
            self.skipTest(f"{BINARY} not built")
