#!/usr/bin/env python3
"""Generates the game's TGA textures into data/textures/.

Deterministic: fixed seeds, no external packages. Images are built with row 0
as the bottom row (texture coordinate v = 0), and written as uncompressed TGA
with the bottom-left origin, so file row 0 is texture row 0.

Usage: gen_textures.py [output_dir]
"""

import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import brainfold  # noqa: E402

TAU = 2.0 * math.pi


def clamp01(x):
    return 0.0 if x < 0.0 else 1.0 if x > 1.0 else x


def smoothstep(a, b, x):
    t = clamp01((x - a) / (b - a))
    return t * t * (3 - 2 * t)


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def scale(c, k):
    return tuple(a * k for a in c)


class Image:
    """RGB or RGBA float image, row 0 at the bottom."""

    def __init__(self, width, height, channels):
        self.width, self.height, self.channels = width, height, channels
        self.px = [(0.0,) * channels] * (width * height)

    def set(self, x, y, c):
        self.px[y * self.width + x] = c

    def write_tga(self, path):
        """Writes an uncompressed true-colour TGA, bottom-left origin."""
        bpp = 8 * self.channels
        descriptor = 8 if self.channels == 4 else 0  # alpha bits; origin bit 5 clear
        header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0,
                             self.width, self.height, bpp, descriptor)
        out = bytearray(header)
        for c in self.px:
            b = [max(0, min(255, int(round(v)))) for v in c]
            if self.channels == 4:
                out += bytes((b[2], b[1], b[0], b[3]))
            else:
                out += bytes((b[2], b[1], b[0]))
        with open(path, "wb") as f:
            f.write(out)


grain = brainfold.ValueNoise3(9001)


def fbm(x, y, octaves=3, z=0.0):
    """Returns fractal value noise in about [-1, 1]."""
    total, amp, norm = 0.0, 1.0, 0.0
    for _ in range(octaves):
        total += amp * grain(x, y, z)
        norm += amp
        x, y, amp = x * 2.03, y * 2.03, amp * 0.5
    return total / norm


# ---------------------------------------------------------------- block atlas

TILE = 256
PLAIN_BASE = (170, 182, 214)      # soft periwinkle stone


def frame(e, panel):
    """Returns the bevelled border colour at edge distance e, or panel inside it."""
    if e < 3.0:
        return scale(PLAIN_BASE, 0.38)
    if e < 18.0:
        t = (e - 3.0) / 15.0
        return scale(PLAIN_BASE, 1.28 - 0.36 * t)   # bright outer lip sloping in
    if e < 21.0:
        return scale(PLAIN_BASE, 0.66)              # groove round the panel
    return panel


def plain_panel(x, y, e):
    n = fbm(x / 40.0, y / 40.0, 4)
    cloud = fbm(x / 110.0 + 3.0, y / 110.0, 2, z=5.0)
    k = 0.96 + 0.05 * n + 0.04 * cloud
    inset = 1.0
    if 46.0 <= e < 48.0:
        inset = 0.9
    elif 48.0 <= e < 50.0:
        inset = 1.08
    return scale(PLAIN_BASE, k * inset)


def blackhole_panel(x, y, e):
    dx, dy = (x - 127.5) / 128.0, (y - 127.5) / 128.0
    r = math.hypot(dx, dy)
    a = math.atan2(dy, dx)
    bg = (34.0, 30.0, 48.0)
    swirl = a + 3.2 * math.log(r + 0.03) + 1.3 * fbm(x / 30.0, y / 30.0, 2)
    arms = (0.5 + 0.5 * math.cos(3.0 * swirl)) ** 3
    disc = smoothstep(0.10, 0.24, r) * (1.0 - smoothstep(0.50, 0.80, r))
    glow = arms * disc
    c = mix(bg, (120.0, 46.0, 185.0), glow)
    c = mix(c, (235.0, 200.0, 255.0), glow * glow * 0.6)
    horizon = math.exp(-((r - 0.15) / 0.025) ** 2)
    c = mix(c, (200.0, 150.0, 255.0), horizon * 0.9)
    hole = smoothstep(0.15, 0.11, r)
    c = mix(c, (0.0, 0.0, 0.0), hole)
    return c


def portal_panel(x, y, e, active):
    dx, dy = (x - 127.5) / 128.0, (y - 127.5) / 128.0
    r = math.hypot(dx, dy)
    a = math.atan2(dy, dx)
    ring_mid, ring_half = 0.56, 0.09
    ring_t = (r - ring_mid) / ring_half          # -1..1 across the ring tube
    if active:
        panel = scale(PLAIN_BASE, 1.12)
        halo = math.exp(-max(0.0, r - ring_mid - ring_half) / 0.09)
        panel = mix(panel, (255.0, 236.0, 150.0), 0.85 * halo)
        rays = (0.5 + 0.5 * math.cos(12 * a)) ** 4 * smoothstep(0.48, 0.1, r)
        inner = mix((120.0, 255.0, 200.0), (255.0, 255.0, 240.0),
                    clamp01(1.0 - r / 0.47) ** 0.7)
        inner = mix(inner, (255.0, 255.0, 255.0), 0.5 * rays)
        tube = (255.0, 215.0, 90.0)
        tube_hi = (255.0, 255.0, 225.0)
    else:
        panel = scale(PLAIN_BASE, 0.84)
        ripples = 0.5 + 0.5 * math.cos(r * 70.0)
        inner = mix((44.0, 58.0, 66.0), (58.0, 74.0, 82.0), ripples * smoothstep(0.45, 0.1, r))
        tube = (88.0, 118.0, 124.0)
        tube_hi = (150.0, 172.0, 172.0)
    if abs(ring_t) <= 1.0:
        shade = math.cos(ring_t * math.pi / 2)
        c = mix(scale(tube, 0.55 + 0.45 * shade), tube_hi, max(0.0, shade - 0.75) * 2.5)
        # Four studs on the ring.
        stud = math.exp(-((math.sin(2 * (a - math.pi / 4))) ** 2) / 0.004)
        if not active:
            c = mix(c, (180.0, 190.0, 185.0), 0.5 * stud * shade)
        edge = smoothstep(1.0, 0.85, abs(ring_t))
        other = inner if ring_t < 0 else panel
        return mix(other, c, edge)
    if ring_t < -1.0:
        return inner
    shadow = 1.0 if active else 1.0 - 0.35 * math.exp(-(ring_t - 1.0) / 0.4)
    return scale(panel, shadow)


def atlas():
    """Returns the 2 x 2 block atlas: plain top-left, black hole bottom-right,
    closed goal top-right, open goal bottom-left (v = 0 at the bottom)."""
    img = Image(2 * TILE, 2 * TILE, 3)
    quads = {
        (0, 1): lambda x, y, e: plain_panel(x, y, e),
        (1, 0): lambda x, y, e: blackhole_panel(x, y, e),
        (1, 1): lambda x, y, e: portal_panel(x, y, e, False),
        (0, 0): lambda x, y, e: portal_panel(x, y, e, True),
    }
    for (qx, qy), panel in quads.items():
        for y in range(TILE):
            for x in range(TILE):
                e = min(x + 0.5, TILE - x - 0.5, y + 0.5, TILE - y - 0.5)
                inner = panel(x, y, e) if e >= 21.0 else None
                c = frame(e, inner)
                img.set(qx * TILE + x, qy * TILE + y, c)
    return img


# ---------------------------------------------------------------- brain

def brain(width=512, height=512):
    """Returns the brain surface: hemispheres below v = HEMI_V (left one in
    the left half), the cerebellum's folia in the strip above, with the
    parameters of brainfold."""
    img = Image(width, height, 3)
    half = width // 2
    crest = (226.0, 176.0, 178.0)
    sulcus = (104.0, 56.0, 70.0)
    split = brainfold.HEMI_V
    for y in range(height):
        v = (y + 0.5) / height
        for x in range(width):
            if v >= split:
                t = (x + 0.5) / width
                g = brainfold.folium(t)
                d = brainfold.cerebellum_direction((v - split) / (1 - split), t)
            else:
                side = -1 if x < half else 1
                s = ((x % half) + 0.5) / half
                d = brainfold.direction(side, s, v / split)
                g = brainfold.fold(side, d)
                m = brainfold.medial_weight(side, d)
                g = 1.0 - (1.0 - g) * (0.35 + 0.65 * m)
            c = mix(sulcus, crest, g ** 0.8)
            speck = grain(d[0] * 40, d[1] * 40, d[2] * 40)
            c = scale(c, 0.96 + 0.06 * speck)
            img.set(x, y, c)
    return img


# ---------------------------------------------------------------- cage frame

def metal_frame(size=256, meridians=8, parallels=6):
    """Returns the cage texture: a grid of rounded steel bars with alpha,
    seamless across u, for spherical coordinates (u around, v pole to pole)."""
    img = Image(size, size, 4)
    half_w = 0.016      # bar half width in texture units
    for y in range(size):
        v = (y + 0.5) / size
        for x in range(size):
            u = (x + 0.5) / size
            du = abs(u * meridians - round(u * meridians)) / meridians
            dv = abs(v * parallels - round(v * parallels)) / parallels
            # No bar along the poles themselves.
            if v < 0.5 / parallels or v > 1 - 0.5 / parallels:
                dv = 1.0
            d = min(du, dv)
            if d > half_w + 0.004:
                img.set(x, y, (40.0, 44.0, 50.0, 0.0))
                continue
            shade = math.cos(min(1.0, d / half_w) * math.pi / 2)
            steel = mix((70.0, 76.0, 86.0), (200.0, 208.0, 220.0), shade)
            steel = mix(steel, (255.0, 255.0, 255.0), max(0.0, shade - 0.85) * 4.0)
            brushed = fbm(x / 3.0, y / 60.0 if du < dv else y / 3.0, 2, z=11.0)
            steel = scale(steel, 0.95 + 0.08 * brushed)
            if du < half_w * 1.6 and dv < half_w * 1.6:     # rivet at a crossing
                rv = math.hypot(du, dv) / (half_w * 1.6)
                if rv < 1.0:
                    steel = mix((90.0, 84.0, 70.0), (250.0, 236.0, 200.0), math.cos(rv * math.pi / 2))
                    d = 0.0
            alpha = 255.0 * smoothstep(half_w + 0.004, half_w - 0.002, d)
            img.set(x, y, steel + (alpha,))
    return img


# ---------------------------------------------------------------- collectable

def synapse(size=128):
    """Returns the collectable's glow: u from the soma (0) to a dendrite tip
    (1), v around the dendrite."""
    img = Image(size, size, 4)
    core = (255.0, 236.0, 170.0)
    mid = (110.0, 215.0, 255.0)
    tip = (190.0, 120.0, 255.0)
    for y in range(size):
        v = (y + 0.5) / size
        for x in range(size):
            u = (x + 0.5) / size
            c = mix(core, mid, smoothstep(0.12, 0.55, u))
            c = mix(c, tip, smoothstep(0.55, 1.0, u))
            beads = sum(math.exp(-((u - b) / 0.035) ** 2) for b in (0.36, 0.62, 0.84))
            c = mix(c, (255.0, 255.0, 255.0), 0.7 * min(1.0, beads))
            band = 0.92 + 0.08 * math.cos(v * TAU * 4 + u * 6)
            c = scale(c, band)
            alpha = 255.0 - 95.0 * smoothstep(0.3, 1.0, u) + 40.0 * min(1.0, beads)
            img.set(x, y, c + (min(255.0, alpha),))
    return img


def check_atlas(img):
    """Raises unless each look sits where the world code's texture coordinates
    expect it: the centre of the open goal (u, v < 0.5) is the brightest, the
    black hole (u > 0.5, v < 0.5) the darkest, the closed goal (u, v > 0.5)
    darker than the plain tile (u < 0.5, v > 0.5)."""
    def centre_luma(u, v):
        cx, cy = int(u * img.width), int(v * img.height)
        px = [img.px[y * img.width + x] for y in range(cy - 8, cy + 8) for x in range(cx - 8, cx + 8)]
        return sum(0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2] for c in px) / len(px)
    open_goal, hole = centre_luma(0.25, 0.25), centre_luma(0.75, 0.25)
    goal, plain = centre_luma(0.75, 0.75), centre_luma(0.25, 0.75)
    assert open_goal > plain > goal > hole, (open_goal, plain, goal, hole)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "textures")
    os.makedirs(out, exist_ok=True)
    for name, make in (("blocktexture.tga", atlas), ("brain.tga", brain),
                       ("metalframe2.tga", metal_frame), ("synalpha.tga", synapse)):
        img = make()
        if make is atlas:
            check_atlas(img)
        img.write_tga(os.path.join(out, name))
        print("wrote", os.path.join(out, name))


if __name__ == "__main__":
    main()
