#include "render/scene_math.h"

#include "world/block.h"

namespace {

Mat4 diagonal(float x, float y, float z, float w) {
    Mat4 m;
    m[0] = x;
    m[5] = y;
    m[10] = z;
    m[15] = w;
    return m;
}

Vec3 xyz(const Vec4& v) { return {v.x, v.y, v.z}; }

}  // namespace

const Mat4 shadowBiasTranslate = translate(Mat4::identity(), {0.5f, 0.5f, 0.5f});
const Mat4 shadowBiasScale = diagonal(0.5f, 0.5f, 0.5f, 1.0f);

Mat4 shadowTextureMatrix(const Mat4& lightView) {
    return multiply(multiply(multiply(shadowBiasTranslate, shadowBiasScale), projectionMatrix), lightView);
}

float bounceSwing(double bounceBlend) {
    const double noBounce = 0.699999988079071;  // 0.7f
    const double justBounced = 0.300000011920929;  // 0.3f
    return static_cast<float>((noBounce - bounceBlend) * 180.0 / (noBounce - justBounced));
}

Mat4 viewFor(const Mat4& orientation, const Mat4& bodyMatrix, const Vec3& upVector, double bounceBlend,
             const Vec3& cameraOffset) {
    const Mat4 swing = rotate(Mat4::identity(), bounceSwing(bounceBlend), {0.0f, 1.0f, 0.0f});
    const Vec3 offset = xyz(transform(multiply(orientation, swing), {cameraOffset.x, cameraOffset.y, cameraOffset.z, 1.0f}));
    const Vec3 centre = xyz(transform(bodyMatrix, {0.0f, 0.0f, 0.0f, 1.0f}));
    return lookAt(centre - offset, centre, upVector);
}

Mat4 turnModelMatrix(const Block& block, const Mat4& turnRotation) {
    const Vec3 p{static_cast<float>(block.x), static_cast<float>(block.y), static_cast<float>(block.z)};
    return multiply(multiply(translate(Mat4::identity(), p), turnRotation), translate(Mat4::identity(), -p));
}
