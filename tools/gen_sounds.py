#!/usr/bin/env python3
"""Synthesises the game's sounds into data/sounds/.

Everything is made here from oscillators, noise and filters (fixed seeds, so
runs are repeatable); WAV and AIFF are written here, lame encodes the MP3 files.
All sounds are 44.1 kHz mono, 16 bit before encoding.

The two looping sounds are rendered on a circle: anything that rings past the
loop end (note tails, echoes, filter states) is wrapped onto the start, so
the last sample leads straight into the first with no fade and no click.

Usage: gen_sounds.py [output_dir]
"""

import array
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 44100
TAU = 2.0 * math.pi


# ---------------------------------------------------------------- basics

def silence(seconds):
    return array.array("d", bytes(8 * int(round(seconds * RATE))))


def mix_into(dst, src, at=0, gain=1.0, wrap=False):
    """Adds src into dst from sample `at`; with wrap, past the end goes round."""
    n = len(dst)
    for i, v in enumerate(src):
        k = at + i
        if k >= n:
            if not wrap:
                break
            k %= n
        dst[k] += gain * v


def normalise(x, peak):
    """Scales x so that its largest magnitude is `peak`."""
    m = max(abs(v) for v in x) or 1.0
    k = peak / m
    for i in range(len(x)):
        x[i] *= k
    return x


def fade_edges(x, fade_in=0.002, fade_out=0.004):
    """Returns x with short raised-cosine edges so a one-shot starts and ends at zero."""
    a, b = int(fade_in * RATE), int(fade_out * RATE)
    for i in range(a):
        x[i] *= 0.5 - 0.5 * math.cos(math.pi * i / a)
    n = len(x)
    for i in range(b):
        x[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / b)
    return x


def write_wav(path, x):
    frames = array.array("h", (max(-32767, min(32767, int(round(v * 32767)))) for v in x))
    if sys.byteorder != "little":
        frames.byteswap()
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames.tobytes())


def write_aiff(path, x):
    """Writes 16-bit mono AIFF (big-endian samples, 80-bit float rate)."""
    frames = array.array("h", (max(-32767, min(32767, int(round(v * 32767)))) for v in x))
    if sys.byteorder == "little":
        frames.byteswap()
    data = frames.tobytes()
    exponent = RATE.bit_length() - 1
    rate80 = struct.pack(">HQ", 16383 + exponent, RATE << (63 - exponent))
    comm = struct.pack(">hIh", 1, len(x), 16) + rate80
    ssnd = struct.pack(">II", 0, 0) + data
    body = b"AIFF" + b"COMM" + struct.pack(">I", len(comm)) + comm + \
        b"SSND" + struct.pack(">I", len(ssnd)) + ssnd
    with open(path, "wb") as f:
        f.write(b"FORM" + struct.pack(">I", len(body)) + body)


def noise(seconds, seed):
    rng = random.Random(seed)
    return array.array("d", (rng.uniform(-1.0, 1.0) for _ in range(int(round(seconds * RATE)))))


def svf(x, cutoff, q, mode="band", passes=1):
    """State-variable filter; cutoff is a number or a per-sample function of
    the sample index. With passes > 1 the signal is treated as a loop: the
    filter runs round it again from the state it ended in, and the last pass
    is kept, so the output loops seamlessly."""
    low = band = 0.0
    out = array.array("d", x)
    damp = 1.0 / q
    fixed = None if callable(cutoff) else 2.0 * math.sin(math.pi * min(cutoff, RATE / 6) / RATE)
    for _ in range(passes):
        for i, v in enumerate(x):
            f = fixed if fixed is not None else 2.0 * math.sin(math.pi * min(cutoff(i), RATE / 6) / RATE)
            low += f * band
            high = v - low - damp * band
            band += f * high
            out[i] = band if mode == "band" else low if mode == "low" else high
    return out


def tone(seconds, freq, env, partials=((1.0, 1.0),), phase=0.0):
    """Additive tone: freq and env are numbers or functions of time t;
    partials are (frequency ratio, amplitude) pairs."""
    n = int(round(seconds * RATE))
    out = array.array("d", bytes(8 * n))
    ph = phase
    for i in range(n):
        t = i / RATE
        f = freq(t) if callable(freq) else freq
        ph += TAU * f / RATE
        a = env(t) if callable(env) else env
        out[i] = a * sum(amp * math.sin(ph * ratio) for ratio, amp in partials)
    return out


def midi(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def adsr(attack, hold, release):
    """Returns an envelope rising for `attack`, holding, then falling for `release`."""
    def env(t):
        if t < attack:
            return 0.5 - 0.5 * math.cos(math.pi * t / attack)
        if t < attack + hold:
            return 1.0
        r = (t - attack - hold) / release
        return 0.5 + 0.5 * math.cos(math.pi * r) if r < 1 else 0.0
    return env


def decay(attack, tau):
    """Returns an envelope with a short rise and an exponential fall."""
    return lambda t: (t / attack if t < attack else math.exp(-(t - attack) / tau))


# ---------------------------------------------------------------- music loop

LOOP_SECONDS = 32.0          # 12 bars of 4 beats at 90 beats a minute
BEAT = 60.0 / 90.0
CHORDS = [                   # root, voicing (MIDI notes); two bars each
    (50, (62, 66, 69, 73)),  # Dmaj7
    (54, (61, 64, 69, 73)),  # F#m7
    (55, (62, 66, 71, 74)),  # Gmaj7
    (52, (62, 66, 67, 71)),  # Em9 (no root in the pad)
    (47, (62, 66, 69, 74)),  # Bm7
    (45, (61, 64, 66, 71)),  # A6sus2
]


class Wavetable:
    """One cycle of a soft pad waveform, read with a phase accumulator."""
    SIZE = 4096

    def __init__(self, partials):
        self.table = [sum(a * math.sin(TAU * r * i / self.SIZE) for r, a in partials)
                      for i in range(self.SIZE)]

    def render(self, dst, start, seconds, freq, env, gain):
        table, size = self.table, self.SIZE
        n = int(round(seconds * RATE))
        total = len(dst)
        step = freq * size / RATE
        ph = 0.0
        for i in range(n):
            dst[(start + i) % total] += gain * env(i / RATE) * table[int(ph) % size]
            ph += step


def music():
    n = int(LOOP_SECONDS * RATE)
    pad = array.array("d", bytes(8 * n))
    arp = array.array("d", bytes(8 * n))
    rng = random.Random(2024)
    soft = Wavetable(((1, 1.0), (2, 0.28), (3, 0.10), (4, 0.04)))
    sub = Wavetable(((1, 1.0), (2, 0.15)))
    chord_len = 8 * BEAT
    for c, (root, notes) in enumerate(CHORDS):
        start = int(round(c * chord_len * RATE))
        for k, note in enumerate(notes):
            for cents in (-5.0, 4.0):
                f = midi(note) * 2 ** (cents / 1200)
                soft.render(pad, start, chord_len + 2.2, f, adsr(1.6, chord_len - 1.4, 2.0), 0.060)
        sub.render(pad, start, chord_len + 1.2, midi(root), adsr(0.4, chord_len - 0.5, 1.3), 0.16)
        # Arpeggio: eighth notes through the chord, a few left out for air.
        pattern = (0, 1, 2, 3, 2, 3, 1, 2)
        for e in range(16):
            if e % 8 and rng.random() < 0.28:
                continue
            note = notes[pattern[e % 8]] + 12
            f = midi(note)
            bell = tone(1.6, f, decay(0.004, 0.42), ((1, 1.0), (2.0, 0.22), (3.01, 0.06)))
            at = start + int(round(e * BEAT / 2 * RATE))
            mix_into(arp, bell, at, 0.09 * (0.8 + 0.2 * rng.random()), wrap=True)
    # Dotted-eighth echo on the arpeggio, round the loop twice so it settles.
    d = int(round(0.75 * BEAT * RATE))
    wet = array.array("d", arp)
    for _ in range(2):
        for i in range(n):
            wet[i] = arp[i] + 0.38 * wet[i - d]
    out = array.array("d", (p + a for p, a in zip(pad, wet)))
    out = svf(out, 3200.0, 0.7, "low", passes=2)
    return normalise(quiet_loop_start(out, 0.4), 0.55)


def quiet_loop_start(x, search):
    """Returns the loop x turned round so that it starts at a gentle upward
    zero crossing in a quiet spot within `search` seconds before its end. The
    MP3 encoder starts its first frame from silence; starting there keeps its
    error at the seam as small as anywhere else in the loop."""
    n = len(x)
    best, start = None, 0
    for i in range(n - int(search * RATE), n):
        if x[i - 1] < 0.0 <= x[i]:
            energy = sum(x[(i + k) % n] ** 2 for k in range(-300, 300, 10))
            score = 20.0 * (x[i] - x[i - 1]) + energy
            if best is None or score < best:
                best, start = score, i
    return x[start:] + x[:start]


def rolling():
    """A rumbling roll, 1.5 s, seamless: low noise pulsing six times a loop
    with soft ticks of the cage bars and a faint hum."""
    seconds = 1.5
    n = int(seconds * RATE)
    rumble = svf(noise(seconds, 11), 140.0, 0.9, "low", passes=2)
    rumble = svf(rumble, 220.0, 0.8, "low", passes=2)
    grit = svf(noise(seconds, 12), 900.0, 2.0, "band", passes=2)
    out = array.array("d", bytes(8 * n))
    for i in range(n):
        t = i / RATE
        pulse = 0.65 + 0.35 * abs(math.sin(math.pi * 6 * t / seconds))
        out[i] = rumble[i] * pulse * 3.0 + grit[i] * 0.15 * pulse + 0.05 * math.sin(TAU * 60.0 * t)
    rng = random.Random(13)
    for k in range(12):
        tick = tone(0.03, 1400 + 300 * rng.random(), decay(0.001, 0.006), ((1, 1.0), (2.3, 0.4)))
        mix_into(out, tick, int(k * n / 12 + rng.random() * 400), 0.12, wrap=True)
    return normalise(out, 0.45)


# ---------------------------------------------------------------- one-shots

def illegal_action():
    """A low refusing buzz with a thunk."""
    seconds = 0.32
    buzz = tone(seconds, 98.0, adsr(0.006, 0.16, 0.15), [(h, 1.0 / h) for h in (1, 3, 5, 7, 9)])
    buzz2 = tone(seconds, 103.5, adsr(0.006, 0.16, 0.15), [(h, 1.0 / h) for h in (1, 3, 5, 7)])
    thunk = tone(0.14, lambda t: 90 - 160 * t, decay(0.002, 0.04))
    out = array.array("d", (a + b for a, b in zip(buzz, buzz2)))
    out = svf(out, 900.0, 0.8, "low")
    mix_into(out, thunk, 0, 1.6)
    return fade_edges(normalise(out, 0.8))


def pickup():
    """A bright two-note chime."""
    out = silence(0.9)
    bell = ((1, 1.0), (2.76, 0.35), (5.4, 0.12), (8.93, 0.05))
    mix_into(out, tone(0.9, midi(88), decay(0.002, 0.18), bell), 0, 0.6)
    mix_into(out, tone(0.8, midi(95), decay(0.002, 0.22), bell), int(0.08 * RATE), 0.6)
    sparkle = svf(noise(0.25, 21), 7000.0, 3.0, "band")
    mix_into(out, array.array("d", (v * math.exp(-i / (0.05 * RATE)) for i, v in enumerate(sparkle))),
             int(0.08 * RATE), 0.25)
    return fade_edges(normalise(out, 0.7))


def turn_click():
    """The block settling after a turn: a wooden double click with a breath of air."""
    out = silence(0.28)
    for at, gain in ((0.0, 1.0), (0.055, 0.55)):
        clack = tone(0.06, 850.0, decay(0.0005, 0.012), ((1, 1.0), (2.7, 0.6), (4.1, 0.3)))
        mix_into(out, clack, int(at * RATE), gain)
    air = svf(noise(0.28, 31), lambda i: 2500 - 6000 * i / RATE, 1.5, "band")
    for i in range(len(air)):
        t = i / RATE
        out[i] += 0.35 * air[i] * math.exp(-t / 0.06) * min(1.0, t / 0.01)
    return fade_edges(normalise(out, 0.6))


def boing():
    """A springy bounce."""
    seconds = 0.7

    def freq(t):
        return 190.0 * (1.0 + 0.6 * math.exp(-t * 9)) * (1.0 + 0.06 * math.exp(-t * 4) * math.sin(TAU * 14 * t))
    out = tone(seconds, freq, decay(0.003, 0.2), ((1, 1.0), (2, 0.25), (3, 0.08)))
    thump = tone(0.1, lambda t: 120 - 300 * t, decay(0.001, 0.025))
    mix_into(out, thump, 0, 0.8)
    return fade_edges(normalise(out, 0.7))


def vacuum():
    """A short rising suction whoosh. The game retriggers it every frame of a
    fall, so it rises softly and is already quiet when the next copy takes
    its channel."""
    seconds = 0.3
    src = noise(seconds, 41)
    out = svf(src, lambda i: 300.0 * (12.0 ** (i / len(src))), 4.0, "band")
    for i in range(len(out)):
        t = i / RATE
        out[i] *= (1.0 - math.exp(-t / 0.025)) * math.exp(-t / 0.09)
    return fade_edges(normalise(out, 0.35), 0.004, 0.02)


def tip_click():
    """A short tick of something tipping over an edge."""
    out = tone(0.12, lambda t: 1300 - 2500 * t, decay(0.0005, 0.018), ((1, 1.0), (1.5, 0.5), (3.2, 0.25)))
    knock = tone(0.12, 220.0, decay(0.001, 0.03))
    mix_into(out, knock, 0, 0.7)
    return fade_edges(normalise(out, 0.6))


def fanfare():
    """A short brass fanfare: three pick-up notes, then a held chord."""
    out = silence(2.3)

    def brass(note, hold, vibrato=0.0):
        f0 = midi(note)
        seconds = 0.03 + hold + 0.25
        env = adsr(0.03, hold, 0.25)
        partials = [(h, 1.0 / h) for h in range(1, 9)]
        x = tone(seconds, lambda t: f0 * (1 + vibrato * math.sin(TAU * 5.5 * t) * min(1, t / 0.4)),
                 env, partials)
        bright = svf(x, 2800.0, 0.8, "low")
        return bright

    for k, note in enumerate((67, 67, 67)):
        mix_into(out, brass(note, 0.06), int(k * 0.15 * RATE), 0.5)
    mix_into(out, brass(72, 0.18), int(0.45 * RATE), 0.55)
    for note, gain in ((72, 0.5), (76, 0.35), (79, 0.35), (84, 0.45)):
        mix_into(out, brass(note, 1.05, 0.006), int(0.72 * RATE), gain)
    return fade_edges(normalise(out, 0.75))


# ---------------------------------------------------------------- output

def encode_mp3(wav, mp3, quality):
    subprocess.run(["lame", "--quiet", "-m", "m", "-V", str(quality), "--noreplaygain", wav, mp3],
                   check=True)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "sounds")
    os.makedirs(out, exist_ok=True)
    tmp = tempfile.mkdtemp(prefix="tumbix-sounds-")
    try:
        for name, make in (("rolling.wav", rolling), ("dreh.wav", turn_click), ("boing2.wav", boing),
                           ("vacuum.wav", vacuum), ("kipp.wav", tip_click), ("fanfare.wav", fanfare)):
            write_wav(os.path.join(out, name), make())
            print("wrote", name)
        write_aiff(os.path.join(out, "illegalaction.aif"), illegal_action())
        print("wrote illegalaction.aif")
        raw = os.path.join(tmp, "sound37.wav")
        write_wav(raw, pickup())
        encode_mp3(raw, os.path.join(out, "sound37.mp3"), 4)
        print("wrote sound37.mp3")
        raw = os.path.join(tmp, "daydreaming.wav")
        write_wav(raw, music())
        encode_mp3(raw, os.path.join(out, "daydreaming.mp3"), 5)
        print("wrote daydreaming.mp3")
    finally:
        shutil.rmtree(tmp)


if __name__ == "__main__":
    main()
