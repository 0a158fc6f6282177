// The orbiting camera: mouse turns with the pitch clamp, wheel zoom, reset.
#include "motion/camera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override { resetCamera(); }
    void TearDown() override { resetCamera(); }
};

bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

TEST_F(CameraTest, ResetGivesTheDefaults) {
    cameraPosition = {3, 4, 5};
    cameraPitch = 12;
    resetCamera();
    EXPECT_EQ(cameraPosition, (Vec3{0.0f, -1.0f, -2.5f}));
    EXPECT_EQ(cameraPitch, -36.0f);
}

TEST_F(CameraTest, NoMouseMovementChangesNothing) {
    cameraPosition = {0.123f, -0.456f, 1.789f};
    mouseLook(0.0, 0.0);
    EXPECT_EQ(cameraPosition, (Vec3{0.123f, -0.456f, 1.789f}));
    EXPECT_EQ(cameraPitch, -36.0f);
}

TEST_F(CameraTest, HorizontalTurnKeepsDistanceAndHeight) {
    mouseLook(90.0, 0.0);
    EXPECT_NEAR(cameraPosition.x, -2.5f, 1e-5f);
    EXPECT_NEAR(cameraPosition.y, -1.0f, 1e-6f);
    EXPECT_NEAR(cameraPosition.z, 0.0f, 1e-5f);
}

TEST_F(CameraTest, PitchClampKeepsOnlyThePartInsideTheLimit) {
    const Vec3 start = cameraPosition;
    mouseLook(0.0, 200.0);
    EXPECT_EQ(cameraPitch, 90.0f);
    const Vec3 axis = normalise(cross(start, {0.0f, 1.0f, 0.0f}));
    const Vec3 expected = rotateVector(start, axis, 126.0f);
    EXPECT_NEAR(cameraPosition.x, expected.x, 1e-6f);
    EXPECT_NEAR(cameraPosition.y, expected.y, 1e-6f);
    EXPECT_NEAR(cameraPosition.z, expected.z, 1e-6f);

    const Vec3 clamped = cameraPosition;
    mouseLook(0.0, 5.0);  // further up: no turn
    EXPECT_EQ(cameraPitch, 90.0f);
    EXPECT_NEAR(cameraPosition.y, clamped.y, 1e-6f);
    EXPECT_NEAR(cameraPosition.z, clamped.z, 1e-6f);
    mouseLook(0.0, -5.0);  // down turns at once
    EXPECT_EQ(cameraPitch, 85.0f);
    EXPECT_GT(std::fabs(cameraPosition.z - clamped.z), 0.05f);
}

TEST_F(CameraTest, OffsetAlongTheVerticalSkipsTheVerticalTurnInsteadOfNaN) {
    cameraPosition = {0.0f, -2.0f, 0.0f};
    cameraPitch = 0.0f;
    mouseLook(10.0, 5.0);
    ASSERT_TRUE(finite(cameraPosition));
    EXPECT_EQ(cameraPitch, 5.0f);
    EXPECT_NEAR(cameraPosition.y, -2.0f, 1e-6f);
    // Later turns still work once the offset leaves the axis.
    cameraPosition = {0.0f, -1.0f, -2.5f};
    mouseLook(0.0, 10.0);
    EXPECT_TRUE(finite(cameraPosition));
}

TEST_F(CameraTest, WheelScalesTheDistancePerNotch) {
    lastWheelPosition = 4;
    onMouseWheel(7);  // three notches up: nearer
    EXPECT_EQ(lastWheelPosition, 7);
    const float f = 0.9f;
    EXPECT_EQ(cameraPosition.z, -2.5f * f * f * f);
    EXPECT_EQ(cameraPosition.y, -1.0f * f * f * f);
    onMouseWheel(7);  // no change
    EXPECT_EQ(cameraPosition.z, -2.5f * f * f * f);
    resetCamera();
    zoomCamera(-2.0);  // two notches down: farther
    EXPECT_EQ(cameraPosition.z, -2.5f * 1.1f * 1.1f);
}
