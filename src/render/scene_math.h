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
