#pragma once
// The matrices of the scene passes, as plain functions of their inputs.

#include "math/math.h"

struct Block;

// Translation by (0.5, 0.5, 0.5) and the diagonal (0.5, 0.5, 0.5, 1): clip
// space [-1, 1] to texture space [0, 1].
extern const Mat4 shadowBiasTranslate;
extern const Mat4 shadowBiasScale;

// Returns bias x projection x light view: world position to shadow-map
// coordinates and depth.
Mat4 shadowTextureMatrix(const Mat4& lightView);
// Returns the camera's swing in degrees about the avatar's up axis after a
// bounce: 0 with no bounce running (0.7), 180 right after one (0.3).
float bounceSwing(double bounceBlend);
// Returns the view looking at the cage centre from `cameraOffset` turned into
// the avatar's frame and swung by the bounce, with the avatar's animated up.
Mat4 viewFor(const Mat4& orientation, const Mat4& bodyMatrix, const Vec3& upVector, double bounceBlend,
             const Vec3& cameraOffset);
// Returns `turnRotation` applied about the centre of `block`.
Mat4 turnModelMatrix(const Block& block, const Mat4& turnRotation);

// A ball that holds everything of one drawn object.
struct Sphere {
    Vec3 centre;
    float radius = 0.0f;
};
// Returns the ball of radius `radius` around the origin of model space
// carried into the world by `model`.
Sphere placedSphere(const Mat4& model, float radius);

// A rectangle of shadow-map texels, columns [x0, x1) by rows [y0, y1).
struct TexelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
    bool operator==(const TexelRect&) const = default;
};
// Returns the smallest rectangle holding both (an empty one adds nothing).
TexelRect unite(const TexelRect& a, const TexelRect& b);
// Returns the texels of a mapSize x mapSize shadow map that a sphere can
// cover when drawn from the light (shadowMatrix: world position to map
// coordinates, [0, 1] across the map), with two texels to spare on every
// side, clipped to the map; the whole map when the sphere reaches the plane
// of the light.
TexelRect shadowTexels(const Mat4& shadowMatrix, const Sphere& sphere, int mapSize);
// Returns the largest factor by which `m` stretches a length (the longest
// column of its upper 3x3).
float largestScale(const Mat4& m);
