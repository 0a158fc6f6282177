#include "math/math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectNear(const Vec3& actual, const Vec3& expected, float tolerance = 1e-6f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

Vec3 apply(const Mat4& m, const Vec3& v) {
    const Vec4 r = transform(m, {v.x, v.y, v.z, 0.0f});
    return {r.x, r.y, r.z};
}

Mat4 sample() {
    Mat4 m;
    for (int i = 0; i < 16; ++i) m[i] = 0.5f * i - 3.0f;
    return m;
}

}  // namespace

TEST(Mat4, ScalarIdentityAndZero) {
    const Mat4 zero = Mat4::scalar(0.0f);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(zero[i], 0.0f);
    const Mat4 id = Mat4::identity();
    const Mat4 defaulted;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(id[i], (i % 5 == 0) ? 1.0f : 0.0f);
        EXPECT_EQ(defaulted[i], id[i]);
    }
}

TEST(Mat4, MultiplyIsColumnMajorAndNotCommutative) {
    const Mat4 a = sample();
    const Mat4 ab = multiply(a, Mat4::identity());
    const Mat4 ba = multiply(Mat4::identity(), a);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(ab[i], a[i]);
        EXPECT_EQ(ba[i], a[i]);
    }
    const Mat4 move = translate(Mat4::identity(), {1, 0, 0});
    const Mat4 turn = rotate(Mat4::identity(), 90.0f, {0, 0, 1});
    // moving then rotating about the local origin keeps the translation
    const Vec4 p = transform(multiply(move, turn), {1, 0, 0, 1});
    EXPECT_NEAR(p.x, 1.0f, 1e-6f);
    EXPECT_NEAR(p.y, 1.0f, 1e-6f);
    const Vec4 q = transform(multiply(turn, move), {1, 0, 0, 1});
    EXPECT_NEAR(q.x, 0.0f, 1e-6f);
    EXPECT_NEAR(q.y, 2.0f, 1e-6f);
    // bottom row takes part in the product
    Mat4 b = Mat4::identity();
    b(3, 0) = 2.0f;
    EXPECT_EQ(multiply(b, b)(3, 0), 4.0f);
}

TEST(Mat4, TranslateComposesOnTheRight) {
    const Mat4 view = translate(Mat4::identity(), {0, 0, -4});
    for (int i = 0; i < 16; ++i) EXPECT_EQ(view[i], i == 14 ? -4.0f : Mat4::identity()[i]);
    const Mat4 a = sample();
    const Mat4 t = translate(a, {1, 2, 3});
    const Mat4 expected = multiply(a, translate(Mat4::identity(), {1, 2, 3}));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(t[i], expected[i]);
}

TEST(Mat4, RotateIsRightHandedAndNormalisesTheAxis) {
    const Mat4 a = sample();
    const Mat4 same = rotate(a, 0.0f, {0, 1, 0});
    for (int i = 0; i < 16; ++i) EXPECT_EQ(same[i], a[i]);
    expectNear(apply(rotate(Mat4::identity(), 90.0f, {0, 0, 2}), {1, 0, 0}), {0, 1, 0});
    expectNear(rotateVector({0, 0, -1}, {0, 1, 0}, -90.0f), {1, 0, 0});
    // column 3 is kept as it was
    const Mat4 r = rotate(a, 33.0f, {1, 2, 3});
    for (int i = 12; i < 16; ++i) EXPECT_EQ(r[i], a[i]);
}

TEST(Mat4, RotationUsesFloatAngleAndDoubleTrigonometry) {
    // cos(90 deg) with pi rounded to float is not exactly 0
    const Mat4 r = rotate(Mat4::identity(), 90.0f, {0, 0, 1});
    const float a = static_cast<float>(90.0f * 0.017453293005625408);
    EXPECT_EQ(r[0], static_cast<float>(std::cos(static_cast<double>(a))));
    EXPECT_EQ(r[1], static_cast<float>(std::sin(static_cast<double>(a))));
    EXPECT_NE(r[0], 0.0f);
}

TEST(Mat4, PerspectiveMatchesTheStartUpProjection) {
    const Mat4 p = perspective(60.0f, 1.3333334f, 0.1f, 100.0f);
    EXPECT_NEAR(p[5], 1.7320508f, 1e-5f);
    EXPECT_FLOAT_EQ(p[0], p[5] / 1.3333334f);
    EXPECT_NEAR(p[10], -1.002002f, 1e-6f);
    EXPECT_NEAR(p[14], -0.2002002f, 1e-6f);
    EXPECT_EQ(p[11], -1.0f);
    EXPECT_EQ(p[15], 0.0f);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(projectionMatrix[i], p[i]);
}

TEST(Mat4, LookAtDownMinusZIsIdentity) {
    const Mat4 v = lookAt({0, 0, 0}, {0, 0, -1}, {0, 1, 0});
    for (int i = 0; i < 16; ++i) EXPECT_EQ(v[i], Mat4::identity()[i]);
    const Mat4 w = lookAt({0, 0, 5}, {0, 0, 0}, {0, 3, 0});
    EXPECT_EQ(w[14], -5.0f);
}

TEST(Math, SignOf) {
    EXPECT_EQ(signOf(0.0), 1.0);
    EXPECT_EQ(signOf(-0.0), 1.0);
    EXPECT_EQ(signOf(-1e-9), -1.0);
    EXPECT_EQ(signOf(std::nan("")), -1.0);
}

TEST(Directions, TurnAboutExamplesAndCycles) {
    EXPECT_EQ(turnAbout(1, 5), 0);
    EXPECT_EQ(turnAbout(4, 5), 3);
    EXPECT_EQ(turnAbout(0, 1), 5);
    EXPECT_EQ(turnAbout(1, 1), -1);
    EXPECT_EQ(turnAbout(1, 4), -1);
    for (int axis = 0; axis < 6; ++axis)
        for (int d = 0; d < 6; ++d) {
            if (d % 3 == axis % 3) continue;
            Direction t = d;
            for (int k = 0; k < 4; ++k) {
                t = turnAbout(axis, t);
                EXPECT_NE(t % 3, axis % 3);
                // -90 degrees about the axis direction, as a rotation would give
                if (k == 0)
                    expectNear(directionVector(t), rotateVector(directionVector(d), directionVector(axis), -90.0f));
            }
            EXPECT_EQ(t, d);
        }
}

TEST(Directions, OrientationForCarriesTheReferenceFrame) {
    const Mat4 id = orientationFor(1, 5);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(id[i], Mat4::identity()[i]);
    expectNear(apply(orientationFor(1, 0), {0, 0, -1}), {1, 0, 0});
    for (int up = 0; up < 6; ++up)
        for (int forward = 0; forward < 6; ++forward) {
            if (up % 3 == forward % 3) continue;
            const Mat4 m = orientationFor(up, forward);
            expectNear(apply(m, directionVector(1)), directionVector(up));
            expectNear(apply(m, directionVector(5)), directionVector(forward));
        }
}

TEST(Directions, FaceOrientationIsPreparedBeforeMain) {
    const int forward[6] = {5, 5, 0, 5, 5, 0};
    for (int d = 0; d < 6; ++d) {
        const Mat4 expected = orientationFor(d, forward[d]);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(faceOrientation[d][i], expected[i]);
    }
    for (int i = 0; i < 16; ++i) EXPECT_EQ(faceOrientation[1][i], Mat4::identity()[i]);
}
