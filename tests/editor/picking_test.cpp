// Picking a block face under the pointer, and the camera that frames a level.
#include <gtest/gtest.h>

#include "editor/orbit_camera.h"
#include "editor/picking.h"

namespace {

constexpr int kWidth = 1280, kHeight = 1024;

LevelDocument blocksAt(std::initializer_list<std::array<int, 3>> positions) {
    LevelDocument d;
    for (const auto& p : positions) d.blocks.push_back({p[0], p[1], p[2], {}});
    return d;
}

// The ray through the centre of the window of a camera at `eye` looking at `at`.
Ray centreRay(const Vec3& eye, const Vec3& at) {
    const Vec3 up = (eye.x == at.x && eye.z == at.z) ? Vec3{0, 0, -1} : Vec3{0, 1, 0};
    return rayThroughPixel(projectionMatrix, lookAt(eye, at, up), kWidth / 2.0 - 0.5, kHeight / 2.0 - 0.5, kWidth,
                           kHeight);
}

}  // namespace

TEST(Picking, TheFaceTurnedTowardsTheCameraIsPickedFromEverySide) {
    const LevelDocument one = blocksAt({{0, 0, 0}});
    const struct {
        Vec3 eye;
        int face;
    } cases[] = {{{5, 0.1f, 0.2f}, Direction::Right}, {{0.1f, 5, 0.2f}, Direction::Top},
                 {{0.2f, 0.1f, 5}, Direction::Back},  {{-5, 0.1f, 0.2f}, Direction::Left},
                 {{0.1f, -5, 0.2f}, Direction::Bottom}, {{0.2f, 0.1f, -5}, Direction::Front}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.face);
        const FacePick pick = pickFace(one, centreRay(c.eye, {0, 0, 0}));
        ASSERT_TRUE(pick.hit());
        EXPECT_EQ(pick.block, 0);
        EXPECT_EQ(int(pick.face), c.face);
        EXPECT_NEAR(pick.distance, 4.5f - 0.1f, 0.05f);  // the ray starts on the near plane
    }
}

TEST(Picking, TheNearestBlockWinsAndMissesAndBlocksAroundTheEyePickNothing) {
    // a row along z seen from +z: the block at z = 2 hides the others
    const LevelDocument row = blocksAt({{0, 0, 0}, {0, 0, 1}, {0, 0, 2}});
    FacePick pick = pickFace(row, centreRay({0.1f, 0.2f, 8}, {0.1f, 0.2f, 0}));
    EXPECT_EQ(pick.block, 2);
    EXPECT_EQ(int(pick.face), Direction::Back);
    // from -z the first block is the nearest
    pick = pickFace(row, centreRay({0.1f, 0.2f, -8}, {0.1f, 0.2f, 0}));
    EXPECT_EQ(pick.block, 0);
    EXPECT_EQ(int(pick.face), Direction::Front);
    // looking past the row
    EXPECT_FALSE(pickFace(row, centreRay({3, 0.2f, 8}, {3, 0.2f, 0})).hit());
    // a ray from inside block 2 towards -z enters block 1 through its back face
    pick = pickFace(row, Ray{{0.1f, 0.2f, 2.1f}, {0, 0, -1}});
    EXPECT_EQ(pick.block, 1);
    EXPECT_EQ(int(pick.face), Direction::Back);
    // along a plane of faces (no direction component) inside the slab, and beside it
    EXPECT_EQ(pickFace(row, Ray{{0.49f, 0.0f, -5}, {0, 0, 1}}).block, 0);
    EXPECT_FALSE(pickFace(row, Ray{{0.51f, 0.0f, -5}, {0, 0, 1}}).hit());
    // a block behind the ray's origin is not picked
    EXPECT_FALSE(pickFace(row, Ray{{0, 0, 5}, {0, 0, 1}}).hit());
}

TEST(Picking, APixelOffCentreFindsTheBlockDrawnThere) {
    // camera at +z looking at the origin: a block at x = 2 lies right of the centre
    const LevelDocument two = blocksAt({{0, 0, 0}, {2, 0, 0}});
    const Mat4 view = lookAt({0, 0, 6}, {0, 0, 0}, {0, 1, 0});
    const Vec4 clip = transform(multiply(projectionMatrix, view), {2, 0, 0.5f, 1});
    const double px = (clip.x / clip.w + 1) / 2 * kWidth, py = (1 - clip.y / clip.w) / 2 * kHeight;
    const FacePick pick = pickFace(two, rayThroughPixel(projectionMatrix, view, px, py, kWidth, kHeight));
    EXPECT_EQ(pick.block, 1);
    EXPECT_EQ(int(pick.face), Direction::Back);
}

TEST(Picking, InverseUndoesTheMatrixAndSingularMatricesAreRefused) {
    const Mat4 m = multiply(projectionMatrix, lookAt({3, 4, 5}, {0, 0, 0}, {0, 1, 0}));
    Mat4 inverse;
    ASSERT_TRUE(invert(m, inverse));
    const Mat4 product = multiply(m, inverse);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(product[i], Mat4::identity()[i], 1e-4f) << i;
    EXPECT_FALSE(invert(Mat4::scalar(0.0f), inverse));
}

TEST(OrbitCameraFraming, EveryBlockOfTheLevelIsInViewAfterFraming) {
    const LevelDocument level = blocksAt({{0, 0, 0}, {9, 0, 0}, {9, 5, 0}, {-3, 0, -12}, {0, -4, 2}});
    for (float yaw : {0.0f, 35.0f, 130.0f, 250.0f}) {
        OrbitCamera camera;
        camera.yaw = yaw;
        camera.frame(level, 60.0f, 1280.0f / 1024.0f);
        const Mat4 clip = multiply(projectionMatrix, camera.view());
        for (const DocumentBlock& b : level.blocks)
            for (const auto& corner : faceOffsets) {
                const Vec4 p = transform(clip, {b.x + corner[0], b.y + corner[1], b.z + corner[2], 1});
                EXPECT_LE(std::abs(p.x / p.w), 1.0f) << yaw;
                EXPECT_LE(std::abs(p.y / p.w), 1.0f) << yaw;
                EXPECT_GT(p.w, 0.0f);
            }
    }
    OrbitCamera camera;
    camera.turn(0.0f, 500.0f);
    EXPECT_EQ(camera.pitch, 89.0f);
    camera.zoom(-1000);
    EXPECT_EQ(camera.distance, OrbitCamera::maxDistance);
}
