#!/usr/bin/env python3
"""Generates the game's MD5 (version 10) meshes into data/models/.

"brain.md5mesh": the avatar's brain, two folded hemispheres about 0.4 units
long, centred on the origin (the cage centre), front towards -Z, top +Y.
"synapse.md5mesh": the collectable, a soma with dendrites ending in boutons,
centred on the origin (half a unit above the face it floats over).

Every vertex is bound to real joints by weights given in joint space. After
writing, each file is read back with the game's token rules, its bind pose is
recomputed and checked against the intended shape and bounding box.

Deterministic, standard library only. Usage: gen_models.py [output_dir]
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import brainfold  # noqa: E402

# ---------------------------------------------------------------- vectors


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def mul(a, k):
    return (a[0] * k, a[1] * k, a[2] * k)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def norm(a):
    n = math.sqrt(dot(a, a))
    return mul(a, 1.0 / n) if n > 0 else a


# Quaternions are (x, y, z, w).

def quat_axis_angle(axis, degrees):
    """Returns the unit quaternion turning by `degrees` about `axis`."""
    ax = norm(axis)
    h = math.radians(degrees) / 2
    s = math.sin(h)
    return (ax[0] * s, ax[1] * s, ax[2] * s, math.cos(h))


def quat_between(a, b):
    """Returns the shortest-arc quaternion turning unit vector a onto b."""
    c = cross(a, b)
    d = dot(a, b)
    if d < -0.999999:
        return quat_axis_angle((1, 0, 0) if abs(a[0]) < 0.9 else (0, 0, 1), 180)
    q = (c[0], c[1], c[2], 1 + d)
    n = math.sqrt(sum(v * v for v in q))
    return tuple(v / n for v in q)


def quat_mul(a, b):
    ax, ay, az, aw = a
    bx, by, bz, bw = b
    return (aw * bx + ax * bw + ay * bz - az * by,
            aw * by - ax * bz + ay * bw + az * bx,
            aw * bz + ax * by - ay * bx + az * bw,
            aw * bw - ax * bx - ay * by - az * bz)


def quat_conj(q):
    return (-q[0], -q[1], -q[2], q[3])


def quat_rotate(q, v):
    """Returns v rotated by q, the vector part of q (v, 0) q*."""
    r = quat_mul(quat_mul(q, (v[0], v[1], v[2], 0.0)), quat_conj(q))
    return r[:3]


def md5_stored(q):
    """Returns the (x, y, z) that MD5 stores for q; readers derive w <= 0."""
    return tuple(-v for v in q[:3]) if q[3] > 0 else tuple(q[:3])


def fmt(*values):
    """Returns the values as fixed-point numbers (no exponents, no negative zero)."""
    return " ".join("%.6f" % (round(v, 6) + 0.0) for v in values)


def smoothstep(a, b, x):
    t = min(1.0, max(0.0, (x - a) / (b - a)))
    return t * t * (3 - 2 * t)


# ---------------------------------------------------------------- model building


class Model:
    """Joints in object space and one mesh of bound vertices."""

    def __init__(self, name):
        self.name = name
        self.joints = []   # (name, parent, position, quaternion)
        self.verts = []    # (position, (u, v), [(joint, bias)])
        self.tris = []
        self.skeleton = []  # inner points: each surface point faces away from the nearest

    def joint(self, name, parent, position, q=(0.0, 0.0, 0.0, 1.0)):
        self.joints.append((name, parent, position, q))
        return len(self.joints) - 1

    def vert(self, pos, uv, binding):
        self.verts.append((pos, uv, binding))
        return len(self.verts) - 1

    def grid(self, rows, cols, point):
        """Adds a (rows+1) x (cols+1) vertex grid from point(i, j) -> (pos, uv,
        binding) and its triangles, wound so that they face outwards; rows 0
        and `rows` may be poles (degenerate triangles are left out)."""
        first = len(self.verts)
        for j in range(rows + 1):
            for i in range(cols + 1):
                self.vert(*point(i, j))
        tris = []
        for j in range(rows):
            for i in range(cols):
                a = first + j * (cols + 1) + i
                b, c, d = a + 1, a + cols + 2, a + cols + 1
                for t in ((a, b, c), (a, c, d)):
                    p = [self.verts[k][0] for k in t]
                    n = cross(sub(p[1], p[0]), sub(p[2], p[0]))
                    if dot(n, n) < 1e-24:
                        continue
                    tris.append(t)
        if signed_volume([self.verts[k][0] for k in range(len(self.verts))], tris) < 0:
            tris = [(a, c, b) for a, b, c in tris]
        self.tris += tris

    def write(self, path, shader):
        """Writes the model as an MD5 version 10 mesh file."""
        weights, lines = [], []
        for idx, (pos, uv, binding) in enumerate(self.verts):
            start = len(weights)
            for j, bias in binding:
                _, _, jp, jq = self.joints[j]
                weights.append((j, bias, quat_rotate(quat_conj(jq), sub(pos, jp))))
            lines.append("\tvert %d ( %s ) %d %d" % (idx, fmt(*uv), start, len(binding)))
        out = ["MD5Version 10",
               'commandline "tools/gen_models.py"',
               "",
               "numJoints %d" % len(self.joints),
               "numMeshes 1",
               "",
               "joints {"]
        for name, parent, p, q in self.joints:
            s = md5_stored(q)
            out.append('\t"%s"\t%d ( %s ) ( %s )\t\t// %s' %
                       (name, parent, fmt(*p), fmt(*s), self.joints[parent][0] if parent >= 0 else "root"))
        out += ["}", "", "mesh {",
                '\t// %s' % self.name,
                '\tshader "%s"' % shader,
                "",
                "\tnumverts %d" % len(self.verts)]
        out += lines
        out += ["", "\tnumtris %d" % len(self.tris)]
        out += ["\ttri %d %d %d %d" % ((k,) + t) for k, t in enumerate(self.tris)]
        out += ["", "\tnumweights %d" % len(weights)]
        out += ["\tweight %d %d %s ( %s )" % (k, j, fmt(b), fmt(*p))
                for k, (j, b, p) in enumerate(weights)]
        out += ["}", ""]
        with open(path, "w", newline="\n") as f:
            f.write("\n".join(out))


def signed_volume(points, tris):
    """Returns the volume enclosed by tris, positive when they face outwards."""
    return sum(dot(points[a], cross(points[b], points[c])) for a, b, c in tris) / 6.0


# ---------------------------------------------------------------- the brain

BRAIN_AROUND = 60   # segments around the left-right axis
BRAIN_ACROSS = 26   # segments from the medial to the lateral pole
CEREBELLUM_AROUND = 16
CEREBELLUM_ACROSS = 3 * brainfold.FOLIA


def brain():
    m = Model("brain")
    root = m.joint("brain", -1, (0.0, 0.0, 0.0))
    for side, tag in ((-1, "L"), (1, "R")):
        hemi = m.joint("hemisphere." + tag, root, (side * brainfold.CENTRE_X, 0.0, 0.0),
                       quat_axis_angle((0, 0, 1), -4 * side))
        front = m.joint("frontal." + tag, hemi, (side * 0.07, 0.03, -0.11),
                        quat_axis_angle((1, 0, 0), 10))
        back = m.joint("occipital." + tag, hemi, (side * 0.07, 0.0, 0.11),
                       quat_axis_angle((0, 1, 0), -8 * side))
        u0 = 0.0 if side < 0 else 0.5
        m.skeleton += [(side * brainfold.CENTRE_X, 0.0, z * 0.02) for z in range(-4, 5)]

        def point(i, j, side=side, u0=u0, hemi=hemi, front=front, back=back):
            s, t = i / BRAIN_AROUND, j / BRAIN_ACROSS
            pos, _ = brainfold.surface_point(side, s, t)
            wf = smoothstep(-0.02, -0.16, pos[2])
            wb = smoothstep(0.02, 0.16, pos[2])
            binding = [(hemi, 1.0 - wf - wb)]
            if wf > 0:
                binding.append((front, wf))
            if wb > 0:
                binding.append((back, wb))
            binding = [(j_, b) for j_, b in binding if b > 1e-6]
            return pos, (u0 + 0.5 * s, t * brainfold.HEMI_V), binding

        m.grid(BRAIN_ACROSS, BRAIN_AROUND, point)
    cere = m.joint("cerebellum", root, brainfold.CEREBELLUM_CENTRE, quat_axis_angle((1, 0, 0), -12))
    v0 = brainfold.HEMI_V

    def cere_point(i, j):
        s, t = i / CEREBELLUM_AROUND, j / CEREBELLUM_ACROSS
        return brainfold.cerebellum_point(s, t), (t, v0 + (1 - v0) * s), [(cere, 1.0)]

    m.grid(CEREBELLUM_ACROSS, CEREBELLUM_AROUND, cere_point)
    m.skeleton += [add(brainfold.CEREBELLUM_CENTRE, (x * 0.02, 0.0, 0.0)) for x in range(-3, 4)]
    return m


# ---------------------------------------------------------------- the synapse

SOMA_RADIUS = 0.07
DENDRITES = 7
DENDRITE_REACH = 0.27    # from the centre to the start of the bouton
BOUTON_RADIUS = 0.02


def sphere(m, centre, radius, rings, segs, joint, u_of_lat):
    """Adds a UV sphere bound to one joint; u comes from the latitude."""
    def point(i, j):
        lat = math.pi * j / rings
        lon = 2 * math.pi * i / segs
        d = (math.sin(lat) * math.cos(lon), math.cos(lat), math.sin(lat) * math.sin(lon))
        return add(centre, mul(d, radius)), (u_of_lat(j / rings), i / segs), [(joint, 1.0)]
    m.grid(rings, segs, point)


def tube(m, start, end, r0, r1, bend, rings, sides, u0, u1, bind):
    """Adds a tapered, gently bent tube from start to end; bind(k) gives the
    weights of ring k. Its ends are open (they sit inside other parts)."""
    axis = norm(sub(end, start))
    side = norm(cross(axis, (0.3, 1.0, 0.1) if abs(axis[1]) < 0.9 else (1.0, 0.2, 0.0)))
    up = cross(side, axis)
    length = math.sqrt(dot(sub(end, start), sub(end, start)))
    m.skeleton += [add(add(start, mul(axis, length * k / 16)), mul(side, bend * math.sin(math.pi * k / 16)))
                   for k in range(17)]

    def point(i, k):
        f = k / rings
        c = add(add(start, mul(axis, length * f)), mul(side, bend * math.sin(math.pi * f)))
        r = r0 + (r1 - r0) * f
        a = 2 * math.pi * i / sides
        ring = add(mul(side, math.cos(a)), mul(up, math.sin(a)))
        return add(c, mul(ring, r)), (u0 + (u1 - u0) * f, i / sides), bind(k)

    first = len(m.verts)
    m.grid(rings, sides, point)
    # An open tube has no volume; wind it by its outward normal instead.
    a, b, c = m.tris[-1]
    mid = add(start, mul(axis, length * 0.5))
    n = cross(sub(m.verts[b][0], m.verts[a][0]), sub(m.verts[c][0], m.verts[a][0]))
    if dot(n, sub(m.verts[a][0], mid)) < 0:
        count = len(m.tris)
        m.tris = m.tris[:count - 2 * rings * sides] + \
            [(x, z, y) for x, y, z in m.tris[count - 2 * rings * sides:]]
    return first


def fibonacci_directions(n, twist):
    """Returns n well spread unit directions, turned by `twist`."""
    golden = math.pi * (3 - math.sqrt(5))
    out = []
    for k in range(n):
        y = 1 - 2 * (k + 0.5) / n
        r = math.sqrt(1 - y * y)
        a = golden * k
        out.append(quat_rotate(twist, (r * math.cos(a), y, r * math.sin(a))))
    return out


def synapse():
    m = Model("synapse")
    soma = m.joint("soma", -1, (0.0, 0.0, 0.0))
    sphere(m, (0.0, 0.0, 0.0), SOMA_RADIUS, 10, 16, soma, lambda f: 0.02 + 0.08 * f)
    m.skeleton.append((0.0, 0.0, 0.0))
    twist = quat_mul(quat_axis_angle((1, 0, 0), 23), quat_axis_angle((0, 0, 1), 17))
    for k, d in enumerate(fibonacci_directions(DENDRITES, twist)):
        base = mul(d, SOMA_RADIUS * 0.9)
        j = m.joint("dendrite.%d" % k, soma, base, quat_between((0.0, 1.0, 0.0), d))
        tip = mul(d, DENDRITE_REACH)
        rings = 6
        tube(m, mul(d, SOMA_RADIUS * 0.5), tip, 0.028, 0.006, 0.012, rings, 8, 0.12, 0.80,
             lambda r: [(soma, 0.5), (j, 0.5)] if r == 0 else [(j, 1.0)])
        bouton = add(tip, mul(d, BOUTON_RADIUS * 0.6))
        sphere(m, bouton, BOUTON_RADIUS, 6, 8, j, lambda f: 0.62)
        m.skeleton.append(bouton)
        # One side branch from the middle of the dendrite.
        mid = mul(d, (SOMA_RADIUS + DENDRITE_REACH) * 0.5)
        other = norm(cross(d, (0.0, 1.0, 0.0) if abs(d[1]) < 0.9 else (1.0, 0.0, 0.0)))
        other = quat_rotate(quat_axis_angle(d, 70 * k), other)
        branch_end = add(mid, mul(norm(add(mul(d, 0.8), other)), 0.09))
        tube(m, mid, branch_end, 0.012, 0.003, 0.0, 3, 6, 0.5, 0.95, lambda r: [(j, 1.0)])
    return m


# ---------------------------------------------------------------- read-back check


class Tokens:
    """The game's MD5 token rules: words, integers, point floats without
    exponents, quoted strings, parentheses, braces and // comments."""

    def __init__(self, text):
        self.text, self.pos = text, 0

    def next(self):
        t, n = self.text, len(self.text)
        while True:
            while self.pos < n and t[self.pos] in " \t\r\n":
                self.pos += 1
            if self.pos >= n:
                return None
            if t.startswith("//", self.pos):
                end = t.find("\n", self.pos)
                self.pos = n if end < 0 else end
                continue
            if t[self.pos] == "/":
                raise ValueError("single /")
            break
        c = t[self.pos]
        if c in "{}()":
            self.pos += 1
            return c
        if c == '"':
            end = t.index('"', self.pos + 1)
            s = t[self.pos + 1:end]
            self.pos = end + 1
            return ("str", s)
        start = self.pos
        while self.pos < n and t[self.pos] not in ' \t\r\n{}()"/':
            self.pos += 1
        word = t[start:self.pos]
        if word[0].isalpha():
            if not word.isalnum():
                raise ValueError("bad identifier " + word)
            return word
        body = word[1:] if word[0] == "-" else word
        if not body or not body[0].isdigit() or body.count(".") > 1 or \
                not body.replace(".", "").isdigit():
            raise ValueError("bad number " + word)
        if self.pos >= n:
            raise ValueError("token runs into end of file")
        return float(word) if "." in word else int(word)

    def expect(self, what):
        tok = self.next()
        if tok != what:
            raise ValueError("expected %r, got %r" % (what, tok))

    def num(self):
        tok = self.next()
        if not isinstance(tok, (int, float)):
            raise ValueError("expected number, got %r" % (tok,))
        return tok

    def vec(self, n):
        self.expect("(")
        v = tuple(float(self.num()) for _ in range(n))
        self.expect(")")
        return v


def read_md5(path):
    """Returns (joints, verts, tris, weights) parsed from an MD5 mesh file."""
    tk = Tokens(open(path).read())
    if tk.next() != "MD5Version" or tk.num() != 10:
        raise ValueError("not MD5 version 10")
    joints, verts, tris, weights = [], [], [], []
    while True:
        tok = tk.next()
        if tok is None:
            break
        if tok == "commandline":
            assert isinstance(tk.next(), tuple)
        elif tok in ("numJoints", "numMeshes"):
            assert tk.num() > 0
        elif tok == "joints":
            tk.expect("{")
            while True:
                name = tk.next()
                if name == "}":
                    break
                parent = tk.num()
                assert isinstance(name, tuple) and isinstance(parent, int) and parent < len(joints)
                p, (x, y, z) = tk.vec(3), tk.vec(3)
                t = 1.0 - x * x - y * y - z * z
                w = -math.sqrt(t) if t >= 0 else 0.0
                joints.append((parent, p, (x, y, z, w)))
        elif tok == "mesh":
            tk.expect("{")
            while True:
                tok = tk.next()
                if tok == "}":
                    break
                if tok == "shader":
                    assert isinstance(tk.next(), tuple)
                elif tok in ("numverts", "numtris", "numweights"):
                    {"numverts": verts, "numtris": tris, "numweights": weights}[tok].extend(
                        [None] * tk.num())
                elif tok == "vert":
                    i, uv, start, count = tk.num(), tk.vec(2), tk.num(), tk.num()
                    verts[i] = (uv, start, count)
                elif tok == "tri":
                    i = tk.num()
                    tris[i] = (tk.num(), tk.num(), tk.num())
                elif tok == "weight":
                    i, j, bias, p = tk.num(), tk.num(), float(tk.num()), tk.vec(3)
                    weights[i] = (j, bias, p)
                else:
                    raise ValueError("unexpected %r in mesh" % (tok,))
        else:
            raise ValueError("unknown element %r" % (tok,))
    return joints, verts, tris, weights


def bind_pose(joints, verts, weights):
    """Returns the vertex positions of the bind pose."""
    out = []
    for _, start, count in verts:
        p = (0.0, 0.0, 0.0)
        for j, bias, wp in weights[start:start + count]:
            _, jp, jq = joints[j]
            p = add(p, mul(add(jp, quat_rotate(jq, wp)), bias))
        out.append(p)
    return out


def check(path, model, lo, hi, max_verts, min_outward):
    """Reads `path` back and checks its bind pose against `model`, its
    bounding box against [lo, hi] and its winding (at least `min_outward` of
    the vertex normals face away from the inner skeleton; fold walls and
    joins may lean the other way); raises on failure."""
    joints, verts, tris, weights = read_md5(path)
    assert None not in verts and None not in tris and None not in weights, "unfilled entries"
    assert len(verts) < max_verts, "too many vertices: %d" % len(verts)
    assert all(0 <= j < len(joints) for j, _, _ in weights), "weight joint out of range"
    assert all(0 < c and s + c <= len(weights) for _, s, c in verts), "weight range"
    assert all(0 <= k < len(verts) for t in tris for k in t), "triangle corner out of range"
    for _, s, c in verts:
        total = sum(b for _, b, _ in weights[s:s + c])
        assert abs(total - 1.0) < 1e-5, "biases sum to %f" % total
    pts = bind_pose(joints, verts, weights)
    err = max(max(abs(a - b) for a, b in zip(p, v[0])) for p, v in zip(pts, model.verts))
    assert err < 2e-5, "bind pose differs by %g" % err
    bb_lo = tuple(min(p[k] for p in pts) for k in range(3))
    bb_hi = tuple(max(p[k] for p in pts) for k in range(3))
    for k in range(3):
        assert lo[k] <= bb_lo[k] and bb_hi[k] <= hi[k], \
            "bounding box %s..%s outside %s..%s" % (bb_lo, bb_hi, lo, hi)
    # Game normals: area-weighted face normals; each must point away from the
    # nearest inner skeleton point.
    normals = [(0.0, 0.0, 0.0)] * len(pts)
    for a, b, c in tris:
        n = cross(sub(pts[b], pts[a]), sub(pts[c], pts[a]))
        for k in (a, b, c):
            normals[k] = add(normals[k], n)
    used = [k for k in range(len(pts)) if dot(normals[k], normals[k]) > 0]

    def away(k):
        c = min(model.skeleton, key=lambda q: dot(sub(pts[k], q), sub(pts[k], q)))
        return dot(normals[k], sub(pts[k], c)) > 0
    outward = sum(1 for k in used if away(k)) / len(used)
    assert outward >= min_outward, "only %.1f%% of normals face outwards" % (100 * outward)
    print("%s: %d joints, %d verts, %d tris, %d weights, bbox (%.3f %.3f %.3f)..(%.3f %.3f %.3f),"
          " %.0f%% normals outward, max bind error %.1e" %
          ((os.path.basename(path), len(joints), len(verts), len(tris), len(weights)) +
           bb_lo + bb_hi + (100 * outward, err)))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "models")
    os.makedirs(out, exist_ok=True)
    b = brain()
    path = os.path.join(out, "brain.md5mesh")
    b.write(path, "textures/brain.tga")
    # Inside the 0.3 cage with room for the bob of 1/12 up and down.
    check(path, b, (-0.19, -0.14, -0.22), (0.19, 0.16, 0.22), 4000, 0.9)
    s = synapse()
    path = os.path.join(out, "synapse.md5mesh")
    s.write(path, "textures/synalpha.tga")
    check(path, s, (-0.33, -0.33, -0.33), (0.33, 0.33, 0.33), 2000, 0.95)


if __name__ == "__main__":
    main()
