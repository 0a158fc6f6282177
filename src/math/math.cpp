#include "math/math.h"

#include <cmath>

Vec3 normalise(const Vec3& v) {
    const float inverse = 1.0f / std::sqrt(dot(v, v));
    return v * inverse;
}

Mat4 Mat4::scalar(float s) {
    Mat4 r;
    for (float& e : r.m) e = 0.0f;
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = s;
    return r;
}

Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 r;
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            float sum = a(row, 0) * b(0, c);
            for (int k = 1; k < 4; ++k) sum += a(row, k) * b(k, c);
            r(row, c) = sum;
        }
    return r;
}

Mat4 translate(const Mat4& m, const Vec3& v) {
    Mat4 r = m;
    for (int row = 0; row < 4; ++row)
        r(row, 3) = ((m(row, 0) * v.x + m(row, 1) * v.y) + m(row, 2) * v.z) + m(row, 3);
    return r;
}

namespace {

// Returns the rotation part R(axis, angle) as a 3x3 matrix.
Mat3 rotationPart(float angleDegrees, const Vec3& axis) {
    const float a = static_cast<float>(angleDegrees * degreesToRadians);
    const float c = static_cast<float>(std::cos(static_cast<double>(a)));
    const float s = static_cast<float>(std::sin(static_cast<double>(a)));
    const float inverse = 1.0f / std::sqrt(dot(axis, axis));
    const float x = axis.x * inverse, y = axis.y * inverse, z = axis.z * inverse;
    const float t = 1.0f - c;
    Mat3 r;
    r.m[0] = x * x * t + c;
    r.m[1] = x * y * t + z * s;
    r.m[2] = x * z * t - y * s;
    r.m[3] = x * y * t - z * s;
    r.m[4] = y * y * t + c;
    r.m[5] = y * z * t + x * s;
    r.m[6] = x * z * t + y * s;
    r.m[7] = y * z * t - x * s;
    r.m[8] = z * z * t + c;
    return r;
}

}  // namespace

Mat4 rotate(const Mat4& m, float angleDegrees, const Vec3& axis) {
    const Mat3 rot = rotationPart(angleDegrees, axis);
    Mat4 r = m;
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 4; ++row)
            r(row, c) = m(row, 0) * rot(0, c) + m(row, 1) * rot(1, c) + m(row, 2) * rot(2, c);
    return r;
}

Mat3 upper3x3(const Mat4& m) {
    Mat3 r;
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row) r.m[3 * c + row] = m(row, c);
    return r;
}

Vec3 rotateVector(const Vec3& v, const Vec3& axis, float angleDegrees) {
    const Mat3 r = upper3x3(rotate(Mat4::identity(), angleDegrees, axis));
    return {r(0, 0) * v.x + r(0, 1) * v.y + r(0, 2) * v.z, r(1, 0) * v.x + r(1, 1) * v.y + r(1, 2) * v.z,
            r(2, 0) * v.x + r(2, 1) * v.y + r(2, 2) * v.z};
}

Vec4 transform(const Mat4& m, const Vec4& p) {
    float out[4];
    for (int row = 0; row < 4; ++row)
        out[row] = m(row, 0) * p.x + m(row, 1) * p.y + m(row, 2) * p.z + m(row, 3) * p.w;
    return {out[0], out[1], out[2], out[3]};
}

Mat4 perspective(float fovYDegrees, float aspect, float nearPlane, float farPlane) {
    const float half = fovYDegrees * 0.5f;
    const float h = static_cast<float>(half * degreesToRadians);
    const float tangent = static_cast<float>(std::tan(static_cast<double>(h)));
    const float top = nearPlane * tangent;
    const float bottom = -top;
    const float left = aspect * bottom;
    const float right = aspect * top;
    Mat4 r = Mat4::scalar(0.0f);
    r.m[0] = 2.0f * nearPlane / (right - left);
    r.m[5] = 2.0f * nearPlane / (top - bottom);
    r.m[10] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    r.m[11] = -1.0f;
    r.m[14] = -(2.0f * farPlane * nearPlane) / (farPlane - nearPlane);
    projectionMatrix = r;
    return r;
}

Mat4 lookAt(const Vec3& eye, const Vec3& center, const Vec3& up) {
    const Vec3 f = normalise(center - eye);
    const Vec3 u = normalise(up);
    const Vec3 s = normalise(cross(f, u));
    const Vec3 v = cross(s, f);
    Mat4 r;
    r.m[0] = s.x;
    r.m[4] = s.y;
    r.m[8] = s.z;
    r.m[1] = v.x;
    r.m[5] = v.y;
    r.m[9] = v.z;
    r.m[2] = -f.x;
    r.m[6] = -f.y;
    r.m[10] = -f.z;
    return translate(r, -eye);
}

Mat4 faceOrientation[6];
Mat4 projectionMatrix;

namespace {

// Fills the tables that exist before main runs.
bool prepareTables() {
    static const int forwardFor[6] = {5, 5, 0, 5, 5, 0};
    for (int d = 0; d < 6; ++d) faceOrientation[d] = orientationFor(d, forwardFor[d]);
    perspective(60.0f, 1.3333334f, 0.1f, 100.0f);
    return true;
}

const bool tablesPrepared = prepareTables();

}  // namespace
