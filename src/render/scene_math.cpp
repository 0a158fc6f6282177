#include "render/scene_math.h"

#include "world/block.h"

#include <algorithm>
#include <cmath>

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

TexelRect unite(const TexelRect& a, const TexelRect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

TexelRect shadowTexels(const Mat4& shadowMatrix, const Sphere& sphere, int mapSize) {
    const Vec3& centre = sphere.centre;
    const float radius = sphere.radius;
    const TexelRect whole{0, 0, mapSize, mapSize};
    // The corners of the box around the sphere: the projection of the box
    // holds the sphere's while the whole box lies in front of the light.
    double lo[2] = {HUGE_VAL, HUGE_VAL}, hi[2] = {-HUGE_VAL, -HUGE_VAL};
    for (int corner = 0; corner < 8; ++corner) {
        const Vec4 p{centre.x + (corner & 1 ? radius : -radius), centre.y + (corner & 2 ? radius : -radius),
                     centre.z + (corner & 4 ? radius : -radius), 1.0f};
        const Vec4 q = transform(shadowMatrix, p);
        if (!(q.w > 1e-4f)) return whole;
        const double u = static_cast<double>(q.x) / q.w * mapSize, v = static_cast<double>(q.y) / q.w * mapSize;
        lo[0] = std::min(lo[0], u), hi[0] = std::max(hi[0], u);
        lo[1] = std::min(lo[1], v), hi[1] = std::max(hi[1], v);
    }
    const auto clip = [mapSize](double t) { return static_cast<int>(std::clamp(t, 0.0, double(mapSize))); };
    return {clip(std::floor(lo[0]) - 2.0), clip(std::floor(lo[1]) - 2.0), clip(std::ceil(hi[0]) + 2.0),
            clip(std::ceil(hi[1]) + 2.0)};
}

Sphere placedSphere(const Mat4& model, float radius) {
    const Vec4 c = transform(model, {0.0f, 0.0f, 0.0f, 1.0f});
    return {{c.x, c.y, c.z}, radius * largestScale(model)};
}

float largestScale(const Mat4& m) {
    float largest = 0.0f;
    for (int c = 0; c < 3; ++c)
        largest = std::max(largest, std::sqrt(m(0, c) * m(0, c) + m(1, c) * m(1, c) + m(2, c) * m(2, c)));
    return largest;
}
