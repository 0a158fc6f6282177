"""Shape and fold pattern of the brain, shared by the model and its texture.

The brain is two hemispheres. A hemisphere point is named by (s, t) in
[0, 1]^2: t runs from the medial pole (t = 0, facing the other hemisphere) to
the lateral pole (t = 1), s runs once around the left-right axis. The model
places vertices at these parameters and uses them as texture coordinates, the
texture paints the same fold field, so grooves in the mesh and dark sulci in
the texture line up.

Model space: +Y up, -Z forward (the front of the brain), X left to right.
"""

import math
import random

# Hemisphere centre offset from the midline and ellipsoid semi-axes.
CENTRE_X = 0.050
LATERAL = 0.108   # x reach towards the outside
MEDIAL = 0.047    # x reach towards the midline (flattened inner face)
HEIGHT_UP = 0.122
LENGTH = 0.192
FOLD_DEPTH = 0.06    # relative radial depth of a sulcus
FOLD_SPACING = 0.026  # rough distance between neighbouring sulci
# The lateral fissure, a deep groove on the outer face, as a segment in the
# side view (z, y).
FISSURE = ((-0.085, -0.030), (0.075, 0.030))

class ValueNoise3:
    """Smooth 3-D value noise on an integer lattice, seeded."""

    def __init__(self, seed):
        rng = random.Random(seed)
        perm = list(range(256))
        rng.shuffle(perm)
        self.perm = perm + perm
        self.vals = [rng.random() * 2.0 - 1.0 for _ in range(256)]

    def __call__(self, x, y, z):
        xi, yi, zi = math.floor(x), math.floor(y), math.floor(z)
        fx, fy, fz = x - xi, y - yi, z - zi
        ux = fx * fx * (3 - 2 * fx)
        uy = fy * fy * (3 - 2 * fy)
        uz = fz * fz * (3 - 2 * fz)
        p, v = self.perm, self.vals
        xi &= 255
        yi &= 255
        zi &= 255

        def h(i, j, k):
            return v[p[p[p[i] + j] + k]]

        x1 = (xi + 1) & 255
        y1 = (yi + 1) & 255
        z1 = (zi + 1) & 255
        a = h(xi, yi, zi) + ux * (h(x1, yi, zi) - h(xi, yi, zi))
        b = h(xi, y1, zi) + ux * (h(x1, y1, zi) - h(xi, y1, zi))
        c = h(xi, yi, z1) + ux * (h(x1, yi, z1) - h(xi, yi, z1))
        d = h(xi, y1, z1) + ux * (h(x1, y1, z1) - h(xi, y1, z1))
        e = a + uy * (b - a)
        f = c + uy * (d - c)
        return e + uz * (f - e)


_noise = ValueNoise3(1701)
_detail = ValueNoise3(4242)


def smoothstep(a, b, x):
    t = min(1.0, max(0.0, (x - a) / (b - a)))
    return t * t * (3 - 2 * t)


def direction(side, s, t):
    """Returns the unit direction of parameter (s, t) on hemisphere `side` (-1 left, +1 right)."""
    phi = t * math.pi
    theta = s * 2.0 * math.pi
    sp = math.sin(phi)
    return (-side * math.cos(phi), sp * math.sin(theta), sp * math.cos(theta))


def ellipsoid_point(side, d):
    """Returns the smooth (unfolded) hemisphere surface point along direction d."""
    dx, dy, dz = d
    if dx * side > 0:
        x = LATERAL * dx
    else:   # a flat inner face: push the medial cap towards the midline plane
        x = -side * MEDIAL * abs(dx) ** 0.3
    if dy > 0:
        ry = HEIGHT_UP * (1.0 - 0.10 * dz)   # fuller frontal lobe
    else:   # flat under the frontal lobe, temporal lobe hanging low, raised at the back
        ry = 0.052 + 0.042 * math.exp(-((dz + 0.05) / 0.5) ** 2) - 0.012 * dz
    return (side * CENTRE_X + x, ry * dy, LENGTH * dz)


def fissure_distance(side, p):
    """Returns the side-view distance of p from the lateral fissure (large on
    the inner half, where there is none)."""
    if (p[0] - side * CENTRE_X) * side < 0.35 * LATERAL:
        return 1.0
    (z0, y0), (z1, y1) = FISSURE
    dz, dy = z1 - z0, y1 - y0
    f = max(0.0, min(1.0, ((p[2] - z0) * dz + (p[1] - y0) * dy) / (dz * dz + dy * dy)))
    return math.hypot(p[2] - z0 - f * dz, p[1] - y0 - f * dy)


def fold(side, d):
    """Returns the fold height at direction d: 1 on a gyrus crest, 0 in a sulcus."""
    # Sulci are the zero lines of a smooth noise field on the unfolded surface,
    # which gives meandering grooves of even spacing.
    p = ellipsoid_point(side, d)
    x, y, z = (c / FOLD_SPACING for c in p)
    off = 7.3 if side > 0 else 0.0

    def field(x, y, z):
        n = _noise(x + off, y, z) + 0.45 * _noise(2.1 * x, 2.1 * y + 3.1, 2.1 * z + off)
        return n + 0.12 * _detail(5 * x, 5 * y, 5 * z + off)

    # Distance to the zero line, in sulcus spacings: the value over its slope.
    h = 0.05
    n = field(x, y, z)
    gx = (field(x + h, y, z) - n) / h
    gy = (field(x, y + h, z) - n) / h
    gz = (field(x, y, z + h) - n) / h
    dist = abs(n) / max(0.3, math.sqrt(gx * gx + gy * gy + gz * gz))
    g = smoothstep(0.03, 0.22, dist)
    return g * smoothstep(0.004, 0.014, fissure_distance(side, p))


def medial_weight(side, d):
    """Returns 0 on the flat inner face (folds suppressed there), 1 elsewhere."""
    inward = -side * d[0]
    return max(0.0, min(1.0, (0.85 - inward) / 0.25))


def surface_point(side, s, t):
    """Returns (position, fold height) of the folded hemisphere surface at (s, t)."""
    d = direction(side, s, t)
    g = fold(side, d)
    base = ellipsoid_point(side, d)
    cx = side * CENTRE_X
    k = 1.0 + FOLD_DEPTH * (g - 1.0) * medial_weight(side, d)
    return (cx + (base[0] - cx) * k, base[1] * k, base[2] * k), g


# Texture layout: the hemispheres fill v in [0, HEMI_V] (left half of u for
# the left one), the cerebellum's folia a strip v in [HEMI_V, 1] with the
# folia varying along u.
HEMI_V = 0.9375

# The cerebellum under the back of the hemispheres, with folia running left
# to right; its texture strip has u = t (top to bottom) and v from s.
CEREBELLUM_CENTRE = (0.0, -0.060, 0.108)
CEREBELLUM_RADII = (0.098, 0.044, 0.060)
FOLIA = 11


def folium(t):
    """Returns the folia height at parameter t down the cerebellum: 1 on a crest."""
    f = t * FOLIA
    tri = 1.0 - abs(2.0 * (f - math.floor(f)) - 1.0)
    return smoothstep(0.0, 0.5, tri)


def cerebellum_direction(s, t):
    """Returns the unit direction of (s, t) on the cerebellum: t from top to
    bottom, s around the vertical axis, so the folia run horizontally."""
    phi = t * math.pi
    theta = s * 2.0 * math.pi
    sp = math.sin(phi)
    return (sp * math.sin(theta), math.cos(phi), sp * math.cos(theta))


def cerebellum_point(s, t):
    """Returns the cerebellum surface point at (s, t)."""
    d = cerebellum_direction(s, t)
    k = 1.0 + 0.07 * (folium(t) - 1.0) * math.sin(t * math.pi)
    c, r = CEREBELLUM_CENTRE, CEREBELLUM_RADII
    return tuple(c[i] + r[i] * d[i] * k for i in range(3))
