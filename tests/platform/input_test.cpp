#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "platform/keys.h"
#include "platform/window.h"

TEST(Keys, PrintableKeysArriveAsUpperCaseAscii) {
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_A), 'A');
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_F), 'F');
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_SPACE), keys::Space);
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_0), '0');
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_SLASH), '/');
}

TEST(Keys, SpecialKeysFollowTheOldNumbering) {
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_ESCAPE), 257);
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_F1), 258);
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_F7), 264);
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_F9), 266);
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_F25), 282);
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_UP), 283);
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_KP_9), 311);
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_MENU), 325);
    EXPECT_EQ(keys::fromGlfw(GLFW_KEY_UNKNOWN), -1);
}

TEST(Wheel, OffsetsAddUpToARunningIntegerPosition) {
    platform::WheelAccumulator wheel;
    EXPECT_EQ(wheel.add(1.0), 1);
    EXPECT_EQ(wheel.add(1.0), 2);
    EXPECT_EQ(wheel.add(-3.0), -1);
    // Smooth-scrolling devices report fractions: they add up without drift.
    for (int i = 0; i < 10; ++i) wheel.add(0.1);
    EXPECT_EQ(wheel.position(), 0);
    EXPECT_EQ(wheel.add(0.6), 1);
}
