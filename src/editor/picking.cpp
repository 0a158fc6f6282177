#include "editor/picking.h"

#include <cmath>
#include <limits>

bool invert(const Mat4& m, Mat4& out) {
    // cofactor expansion in double precision
    double a[16], inv[16];
    for (int i = 0; i < 16; ++i) a[i] = m[i];
    inv[0] = a[5] * a[10] * a[15] - a[5] * a[11] * a[14] - a[9] * a[6] * a[15] + a[9] * a[7] * a[14] +
             a[13] * a[6] * a[11] - a[13] * a[7] * a[10];
    inv[4] = -a[4] * a[10] * a[15] + a[4] * a[11] * a[14] + a[8] * a[6] * a[15] - a[8] * a[7] * a[14] -
             a[12] * a[6] * a[11] + a[12] * a[7] * a[10];
    inv[8] = a[4] * a[9] * a[15] - a[4] * a[11] * a[13] - a[8] * a[5] * a[15] + a[8] * a[7] * a[13] +
             a[12] * a[5] * a[11] - a[12] * a[7] * a[9];
    inv[12] = -a[4] * a[9] * a[14] + a[4] * a[10] * a[13] + a[8] * a[5] * a[14] - a[8] * a[6] * a[13] -
              a[12] * a[5] * a[10] + a[12] * a[6] * a[9];
    inv[1] = -a[1] * a[10] * a[15] + a[1] * a[11] * a[14] + a[9] * a[2] * a[15] - a[9] * a[3] * a[14] -
             a[13] * a[2] * a[11] + a[13] * a[3] * a[10];
    inv[5] = a[0] * a[10] * a[15] - a[0] * a[11] * a[14] - a[8] * a[2] * a[15] + a[8] * a[3] * a[14] +
             a[12] * a[2] * a[11] - a[12] * a[3] * a[10];
    inv[9] = -a[0] * a[9] * a[15] + a[0] * a[11] * a[13] + a[8] * a[1] * a[15] - a[8] * a[3] * a[13] -
             a[12] * a[1] * a[11] + a[12] * a[3] * a[9];
    inv[13] = a[0] * a[9] * a[14] - a[0] * a[10] * a[13] - a[8] * a[1] * a[14] + a[8] * a[2] * a[13] +
              a[12] * a[1] * a[10] - a[12] * a[2] * a[9];
    inv[2] = a[1] * a[6] * a[15] - a[1] * a[7] * a[14] - a[5] * a[2] * a[15] + a[5] * a[3] * a[14] +
             a[13] * a[2] * a[7] - a[13] * a[3] * a[6];
    inv[6] = -a[0] * a[6] * a[15] + a[0] * a[7] * a[14] + a[4] * a[2] * a[15] - a[4] * a[3] * a[14] -
             a[12] * a[2] * a[7] + a[12] * a[3] * a[6];
    inv[10] = a[0] * a[5] * a[15] - a[0] * a[7] * a[13] - a[4] * a[1] * a[15] + a[4] * a[3] * a[13] +
              a[12] * a[1] * a[7] - a[12] * a[3] * a[5];
    inv[14] = -a[0] * a[5] * a[14] + a[0] * a[6] * a[13] + a[4] * a[1] * a[14] - a[4] * a[2] * a[13] -
              a[12] * a[1] * a[6] + a[12] * a[2] * a[5];
    inv[3] = -a[1] * a[6] * a[11] + a[1] * a[7] * a[10] + a[5] * a[2] * a[11] - a[5] * a[3] * a[10] -
             a[9] * a[2] * a[7] + a[9] * a[3] * a[6];
    inv[7] = a[0] * a[6] * a[11] - a[0] * a[7] * a[10] - a[4] * a[2] * a[11] + a[4] * a[3] * a[10] +
             a[8] * a[2] * a[7] - a[8] * a[3] * a[6];
    inv[11] = -a[0] * a[5] * a[11] + a[0] * a[7] * a[9] + a[4] * a[1] * a[11] - a[4] * a[3] * a[9] -
              a[8] * a[1] * a[7] + a[8] * a[3] * a[5];
    inv[15] = a[0] * a[5] * a[10] - a[0] * a[6] * a[9] - a[4] * a[1] * a[10] + a[4] * a[2] * a[9] +
              a[8] * a[1] * a[6] - a[8] * a[2] * a[5];
    const double det = a[0] * inv[0] + a[1] * inv[4] + a[2] * inv[8] + a[3] * inv[12];
    if (det == 0.0 || !std::isfinite(det)) return false;
    for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(inv[i] / det);
    return true;
}

namespace {

Vec3 unproject(const Mat4& inverse, double x, double y, double z) {
    const Vec4 p = transform(inverse, {float(x), float(y), float(z), 1.0f});
    return {p.x / p.w, p.y / p.w, p.z / p.w};
}

float component(const Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

}  // namespace

Ray rayThroughPixel(const Mat4& projection, const Mat4& view, double px, double py, int width, int height) {
    Mat4 inverse;
    if (!invert(multiply(projection, view), inverse)) return {{0, 0, 0}, {0, 0, -1}};
    const double x = 2.0 * (px + 0.5) / width - 1.0;
    const double y = 1.0 - 2.0 * (py + 0.5) / height;
    const Vec3 nearPoint = unproject(inverse, x, y, -1.0);
    const Vec3 farPoint = unproject(inverse, x, y, 1.0);
    return {nearPoint, normalise(farPoint - nearPoint)};
}

FacePick pickFace(const LevelDocument& document, const Ray& ray) {
    FacePick best;
    float bestDistance = std::numeric_limits<float>::infinity();
    for (std::size_t i = 0; i < document.blocks.size(); ++i) {
        const DocumentBlock& b = document.blocks[i];
        const float centre[3] = {float(b.x), float(b.y), float(b.z)};
        float enter = -std::numeric_limits<float>::infinity();
        float leave = std::numeric_limits<float>::infinity();
        int enterAxis = -1;
        bool miss = false;
        for (int axis = 0; axis < 3 && !miss; ++axis) {
            const float o = component(ray.origin, axis);
            const float d = component(ray.direction, axis);
            const float low = centre[axis] - 0.5f, high = centre[axis] + 0.5f;
            if (d == 0.0f) {
                miss = o < low || o > high;
                continue;
            }
            float t1 = (low - o) / d, t2 = (high - o) / d;
            if (t1 > t2) std::swap(t1, t2);
            if (t1 > enter) {
                enter = t1;
                enterAxis = axis;
            }
            if (t2 < leave) leave = t2;
        }
        // a miss, a box behind the ray, or a box around its origin
        if (miss || enterAxis < 0 || enter > leave || enter < 0.0f) continue;
        if (enter < bestDistance) {
            bestDistance = enter;
            const bool positive = component(ray.direction, enterAxis) > 0.0f;
            best = {static_cast<int>(i), positive ? enterAxis + 3 : enterAxis, enter};
        }
    }
    return best;
}
