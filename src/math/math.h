#pragma once
// Vectors, 4x4 matrices and the operations on the six axis directions.
// All arithmetic is single precision; sine, cosine and tangent are taken in
// double precision from a float angle and stored back as floats. The order of
// every sum is fixed so results are reproducible to the last bit.

#include "math/direction.h"

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct Vec4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(const Vec3& a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(const Vec3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(float s, const Vec3& a) { return a * s; }
inline bool operator==(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
// Returns the dot product, summed x, y, z.
inline float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
// Returns a x b.
inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// Returns v times the float reciprocal of its float length (non-finite for zero).
Vec3 normalise(const Vec3& v);

// 3x3 float matrix, column-major: row r, column c at index 3c + r.
struct Mat3 {
    float m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    float operator()(int row, int col) const { return m[3 * col + row]; }
};

// 4x4 float matrix, column-major: row r, column c at index 4c + r, translation
// at 12..14. The array is what the shaders receive with transpose false.
// Default-constructed it is the identity.
struct Mat4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    // Returns s on the diagonal, 0 elsewhere.
    static Mat4 scalar(float s);
    static Mat4 identity() { return scalar(1.0f); }

    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
    float& operator()(int row, int col) { return m[4 * col + row]; }
    float operator()(int row, int col) const { return m[4 * col + row]; }
    const float* data() const { return m; }
};

// Returns a * b (all 16 elements, bottom row included).
Mat4 multiply(const Mat4& a, const Mat4& b);
// Returns m * T(v).
Mat4 translate(const Mat4& m, const Vec3& v);
// Returns m * R(axis, angle), angle in degrees; the axis is normalised.
Mat4 rotate(const Mat4& m, float angleDegrees, const Vec3& axis);
// Returns R(axis, angle) * v using the rotation part only.
Vec3 rotateVector(const Vec3& v, const Vec3& axis, float angleDegrees);
// Returns rows 0-2 of columns 0-2.
Mat3 upper3x3(const Mat4& m);
// Returns m * p.
Vec4 transform(const Mat4& m, const Vec4& p);
// Returns the frustum projection and stores it in projectionMatrix.
Mat4 perspective(float fovYDegrees, float aspect, float nearPlane, float farPlane);
// Returns the view matrix looking from eye at center.
Mat4 lookAt(const Vec3& eye, const Vec3& center, const Vec3& up);
// Returns +1 for x >= 0 (and -0.0), else -1 (NaN included).
inline double signOf(double x) { return x >= 0.0 ? 1.0 : -1.0; }

// Degrees to radians with pi rounded to float first: 0.017453293005625408.
inline constexpr double degreesToRadians = double(3.1415927f) / 180.0;

// For each axis, the four perpendicular directions in the order successive
// -90 degree turns about the positive axis visit them.
inline constexpr int quarterTurnCycles[3][4] = {{1, 5, 4, 2}, {5, 0, 2, 3}, {1, 0, 4, 3}};

// Returns the unit vector of d.
Vec3 directionVector(Direction d);
// Returns d turned by -90 degrees about the direction axis, or -1 when d is
// parallel to the axis.
Direction turnAbout(Direction axis, Direction d);
// Returns the rotation carrying up +Y / forward -Z onto the given pair
// (which must be perpendicular).
Mat4 orientationFor(Direction up, Direction forward);

// Filled before main runs: orientation that stands a model (built on +Y,
// facing -Z) on face d, and the one projection used for camera and light.
extern Mat4 faceOrientation[6];
extern Mat4 projectionMatrix;
