#include <gtest/gtest.h>

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
