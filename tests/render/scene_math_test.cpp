#include <gtest/gtest.h>

#include <cmath>

#include "render/gl_check.h"
#include "render/scene_math.h"
#include "world/block.h"

namespace {

Vec3 apply(const Mat4& m, const Vec3& p) {
    const Vec4 r = transform(m, {p.x, p.y, p.z, 1.0f});
    return {r.x / r.w, r.y / r.w, r.z / r.w};
}

void expectNear(const Vec3& a, const Vec3& b, float eps = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

// Eye position of a view matrix (its inverse applied to the origin), for a
// rigid view: -R^T t.
Vec3 eyeOf(const Mat4& view) {
    Vec3 eye;
    for (int c = 0; c < 3; ++c) {
        float s = 0.0f;
        for (int r = 0; r < 3; ++r) s -= view(r, c) * view(r, 3);
        (&eye.x)[c] = s;
    }
    return eye;
}

const Vec3 defaultCamera{0.0f, -1.0f, -2.5f};

}  // namespace

TEST(ShadowMatrix, MapsTheLightTargetToTheMapCentreWithDepthInRange) {
    const Vec3 light{4.0f, 10.0f, 6.0f};
    const Mat4 lightView = lookAt(light, {0, 0, 0}, {0, 1, 0});
    const Vec3 centre = apply(shadowTextureMatrix(lightView), {0, 0, 0});
    EXPECT_NEAR(centre.x, 0.5f, 1e-5f);
    EXPECT_NEAR(centre.y, 0.5f, 1e-5f);
    EXPECT_GT(centre.z, 0.0f);
    EXPECT_LT(centre.z, 1.0f);
    // Farther from the light means a larger stored depth, so LEQUAL compares
    // a shadowed point as greater than the occluder's depth.
    const Vec3 beyond = apply(shadowTextureMatrix(lightView), light * -0.5f);
    EXPECT_GT(beyond.z, centre.z);
}

TEST(ShadowMatrix, BiasMatricesTakeClipSpaceToUnitRange) {
    const Mat4 bias = multiply(shadowBiasTranslate, shadowBiasScale);
    expectNear(apply(bias, {-1, -1, -1}), {0, 0, 0});
    expectNear(apply(bias, {1, 1, 1}), {1, 1, 1});
    EXPECT_EQ(shadowBiasScale[15], 1.0f);
}

TEST(View, ResetPoseLooksFromAboveAndBehindTheCage) {
    // Player after reset: cage centre at (0, 0.8, 0.5), orientation identity.
    const Mat4 body = translate(Mat4::identity(), {0.0f, 0.8f, 0.5f});
    const Mat4 view = viewFor(Mat4::identity(), body, {0, 1, 0}, 0.7, defaultCamera);
    expectNear(eyeOf(view), {0.0f, 1.8f, 3.0f});
    // The cage centre is straight ahead on the view axis.
    const Vec3 centre = apply(view, {0.0f, 0.8f, 0.5f});
    EXPECT_NEAR(centre.x, 0.0f, 1e-5f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-5f);
    EXPECT_LT(centre.z, 0.0f);
}

TEST(View, BounceSwingsTheCameraToTheOtherSide) {
    EXPECT_EQ(bounceSwing(0.699999988079071), 0.0f);
    EXPECT_NEAR(bounceSwing(0.300000011920929), 180.0f, 1e-4f);
    EXPECT_NEAR(bounceSwing(0.5), 90.0f, 1e-3f);
    const Mat4 body = translate(Mat4::identity(), {0.0f, 0.8f, 0.5f});
    const Mat4 view = viewFor(Mat4::identity(), body, {0, 1, 0}, 0.300000011920929, defaultCamera);
    expectNear(eyeOf(view), {0.0f, 1.8f, -2.0f}, 1e-3f);
}

TEST(View, FollowsTheAvatarOrientationAndUp) {
    // Standing on the right face (up +X) heading front.
    const Mat4 orientation = orientationFor(0, 5);
    const Mat4 body = translate(Mat4::identity(), {0.8f, 0.0f, 0.0f});
    const Mat4 view = viewFor(orientation, body, {1, 0, 0}, 0.7, defaultCamera);
    expectNear(eyeOf(view), {1.8f, 0.0f, 2.5f});
    // World +X (the avatar's up) points up on screen.
    const Vec3 up = apply(view, {1.8f, 0.0f, 0.0f});
    const Vec3 below = apply(view, {0.8f, 0.0f, 0.0f});
    EXPECT_GT(up.y, below.y);
}

TEST(TurnModel, RotatesAboutTheBlockCentre) {
    const Block block(0, 2, 1, -3);
    const Mat4 turn = rotate(Mat4::identity(), 90.0f, {0, 0, -1});
    const Mat4 m = turnModelMatrix(block, turn);
    expectNear(apply(m, {2, 1, -3}), {2, 1, -3});
    // The top face centre moves to a side face centre of the same block.
    expectNear(apply(m, {2.0f, 1.5f, -3.0f}), {2.5f, 1.0f, -3.0f});
}

TEST(GlCheck, ErrorLineFormat) {
    char buffer[32];
    EXPECT_STREQ(glErrorLine(0x0502, buffer), "GL ERROR: 0x0502");
    EXPECT_STREQ(glErrorLine(0x506, buffer), "GL ERROR: 0x0506");
}

TEST(ShadowTexels, CoverTheSphereAndClipToTheMap) {
    const Vec3 light{4.0f, 10.0f, 6.0f};
    const Mat4 toMap = shadowTextureMatrix(lookAt(light, {0, 0, 0}, {0, 1, 0}));
    const int size = 2048;
    const TexelRect whole{0, 0, size, size};
    // Every point of the sphere lands inside its rectangle, two texels in.
    const Sphere s{{1.0f, 0.5f, -2.0f}, 0.6f};
    const TexelRect r = shadowTexels(toMap, s, size);
    ASSERT_FALSE(r.empty());
    for (int i = 0; i < 200; ++i) {
        const float a = 0.1f * static_cast<float>(i), b = 0.37f * static_cast<float>(i);
        const Vec3 p = s.centre + Vec3{std::cos(a) * std::cos(b), std::sin(a), std::cos(a) * std::sin(b)} * s.radius;
        const Vec3 q = apply(toMap, p);
        EXPECT_GE(q.x * size, static_cast<float>(r.x0 + 2));
        EXPECT_LE(q.x * size, static_cast<float>(r.x1 - 2));
        EXPECT_GE(q.y * size, static_cast<float>(r.y0 + 2));
        EXPECT_LE(q.y * size, static_cast<float>(r.y1 - 2));
    }
    // A small sphere gives a small rectangle; one reaching the light's
    // plane gives the whole map; one far off to the side is clipped away.
    EXPECT_LT(r.x1 - r.x0, size / 4);
    EXPECT_EQ(shadowTexels(toMap, {light, 0.5f}, size), whole);
    const Vec3 ahead = normalise(-light), side = normalise(cross(ahead, {0, 1, 0}));
    EXPECT_TRUE(shadowTexels(toMap, {light + ahead * 10.0f + side * 50.0f, 0.5f}, size).empty());
    // Uniting keeps both and ignores an empty one.
    EXPECT_EQ(unite(TexelRect{1, 2, 3, 4}, TexelRect{5, 0, 6, 3}), (TexelRect{1, 0, 6, 4}));
    EXPECT_EQ(unite(TexelRect{}, TexelRect{1, 2, 3, 4}), (TexelRect{1, 2, 3, 4}));
    EXPECT_EQ(placedSphere(multiply(translate(Mat4::identity(), {1, 2, 3}), Mat4::scalar(2.0f)), 0.5f).radius, 1.0f);
}
