#include "render/shadow_reach.h"

#include <algorithm>
#include <cmath>

#include "world/block.h"
#include "world/geometry.h"

namespace {

// Texels around a lookup that the filter reads: taps 1.4 texels out, each
// blending the texels within one of it; with room for the rasteriser's
// rounding.
constexpr float filterReach = 2.5f;
// Map depth a caster must lie beyond a face's to be out of its way: far
// above the rounding of a 24-bit map and of the shader's arithmetic.
constexpr float depthMargin = 1e-5f;
// A point this near the light's plane (or behind it) projects anywhere.
constexpr float nearW = 1e-4f;

constexpr float inf = HUGE_VALF;

// Where points fall in the map (texels) and their nearest and farthest depth.
struct Footprint {
    float u0 = inf, v0 = inf, u1 = -inf, v1 = -inf;
    float nearest = inf, farthest = -inf;
    bool everywhere = false;

    void add(const Mat4& shadowMatrix, const Vec3& p, int mapSize) {
        const Vec4 q = transform(shadowMatrix, {p.x, p.y, p.z, 1.0f});
        if (!(q.w > nearW)) {
            everywhere = true;
            return;
        }
        const float u = q.x / q.w * static_cast<float>(mapSize), v = q.y / q.w * static_cast<float>(mapSize);
        u0 = std::min(u0, u), u1 = std::max(u1, u);
        v0 = std::min(v0, v), v1 = std::max(v1, v);
        nearest = std::min(nearest, q.z / q.w);
        farthest = std::max(farthest, q.z / q.w);
    }
};

float component(const Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// Returns whether something with footprint `f` and box [lo, hi] may shadow
// the face of `reach`.
bool mayShadow(const FaceReach& reach, const Footprint& f, const Vec3& lo, const Vec3& hi) {
    // wholly behind the face's plane (touching it counts as behind)
    const float front = reach.side > 0 ? component(hi, reach.axis) : component(lo, reach.axis);
    if ((front - reach.plane) * reach.side <= 0.0f) return false;
    // apart from the box around the pyramid (touching counts as apart)
    if (hi.x <= reach.lo.x || lo.x >= reach.hi.x || hi.y <= reach.lo.y || lo.y >= reach.hi.y ||
        hi.z <= reach.lo.z || lo.z >= reach.hi.z)
        return false;
    if (f.everywhere) return true;
    // outside what the lookups read, or beyond the face from the light
    if (f.u1 < reach.u0 || f.u0 > reach.u1 || f.v1 < reach.v0 || f.v0 > reach.v1) return false;
    return f.nearest < reach.depth + depthMargin;
}

// Returns the reach of face `face` of `block` lit from `light`, or false
// when its lookups may read anywhere (a corner at or behind the light).
bool faceReach(const Block& block, int face, const Vec3& light, const Mat4& shadowMatrix, int mapSize,
               FaceReach& out) {
    const float* n = faceNormals[4 * face];
    const Vec3 normal{n[0], n[1], n[2]};
    out.axis = face % 3;
    out.side = component(normal, out.axis) > 0 ? 1.0f : -1.0f;
    out.lo = out.hi = light;
    Footprint lookups;
    for (int c = 0; c < 4; ++c) {
        const float* v = block.vertices[4 * face + c];
        const Vec3 corner{v[0], v[1], v[2]};
        out.plane = component(corner, out.axis);
        // where the shader looks the corner up: nudged along the normal by
        // more as the face turns from the light
        const Vec3 toLight = normalise(light - corner);
        const float slope = 1.0f - std::clamp(dot(normal, toLight), 0.0f, 1.0f);
        const Vec3 looked = corner + normal * (0.006f + 0.03f * slope);
        lookups.add(shadowMatrix, looked, mapSize);
        for (const Vec3& p : {corner, looked}) {
            out.lo = {std::min(out.lo.x, p.x), std::min(out.lo.y, p.y), std::min(out.lo.z, p.z)};
            out.hi = {std::max(out.hi.x, p.x), std::max(out.hi.y, p.y), std::max(out.hi.z, p.z)};
        }
    }
    if (lookups.everywhere) return false;
    out.u0 = lookups.u0 - filterReach, out.u1 = lookups.u1 + filterReach;
    out.v0 = lookups.v0 - filterReach, out.v1 = lookups.v1 + filterReach;
    // Lookups interpolate between the corners' (with positive weights), so
    // they compare at most the largest corner depth.
    out.depth = lookups.farthest;
    return true;
}

}  // namespace

ShadowReach shadowReach(const std::vector<Block*>& blocks, const Vec3& light, const Mat4& shadowMatrix,
                        int mapSize) {
    ShadowReach out;
    out.shadings = faceShadings(blocks, light);
    out.reaches.resize(out.shadings.size());
    // every block's footprint once
    std::vector<Footprint> casters(blocks.size());
    for (std::size_t b = 0; b < blocks.size(); ++b)
        for (int c = 0; c < 8; ++c) {
            const Block& block = *blocks[b];
            const Vec3 corner{static_cast<float>(block.x) + (c & 1 ? 0.5f : -0.5f),
                              static_cast<float>(block.y) + (c & 2 ? 0.5f : -0.5f),
                              static_cast<float>(block.z) + (c & 4 ? 0.5f : -0.5f)};
            casters[b].add(shadowMatrix, corner, mapSize);
        }
    for (std::size_t face = 0; face < out.shadings.size(); ++face) {
        if (out.shadings[face] != FaceShading::Full) continue;
        FaceReach& reach = out.reaches[face];
        if (!faceReach(*blocks[face / 6], static_cast<int>(face % 6), light, shadowMatrix, mapSize, reach)) continue;
        bool open = true;
        for (std::size_t b = 0; b < blocks.size() && open; ++b) {
            const Block& c = *blocks[b];
            const Vec3 centre{static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z)};
            const Vec3 half{0.5f, 0.5f, 0.5f};
            open = !mayShadow(reach, casters[b], centre - half, centre + half);
        }
        if (open) out.shadings[face] = FaceShading::Open;
    }
    return out;
}

std::vector<FaceShading> withMovingCasters(const ShadowReach& reach, const std::vector<Sphere>& moving,
                                           const Mat4& shadowMatrix, int mapSize) {
    std::vector<FaceShading> out = reach.shadings;
    for (const Sphere& s : moving) {
        const Vec3 half{s.radius, s.radius, s.radius};
        const Vec3 lo = s.centre - half, hi = s.centre + half;
        // the box around the ball: its projection holds the ball's
        Footprint f;
        for (int c = 0; c < 8; ++c)
            f.add(shadowMatrix, {c & 1 ? hi.x : lo.x, c & 2 ? hi.y : lo.y, c & 4 ? hi.z : lo.z}, mapSize);
        for (std::size_t face = 0; face < out.size(); ++face)
            if (out[face] == FaceShading::Open && mayShadow(reach.reaches[face], f, lo, hi))
                out[face] = FaceShading::Full;
    }
    return out;
}
