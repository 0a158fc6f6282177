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

TEST(Keys, PrintableKeysArriveAsTheCharacterTheLayoutTypes) {
    struct Case {
        int key;
        const char* typed;
        int code;
    };
    const Case cases[] = {
        {GLFW_KEY_Q, "a", 'A'},            // French: A sits where US has Q
        {GLFW_KEY_A, "q", 'Q'},
        {GLFW_KEY_SEMICOLON, "m", 'M'},    // French M
        {GLFW_KEY_Y, "z", 'Z'},            // German
        {GLFW_KEY_F, "f", 'F'},
        {GLFW_KEY_P, "P", 'P'},
        {GLFW_KEY_1, "&", '&'},
        {GLFW_KEY_SEMICOLON, "\xc3\xb6", ';'},  // German o-umlaut: not ASCII, the US code stays
        {GLFW_KEY_A, "ab", 'A'},           // not a single character
        {GLFW_KEY_A, nullptr, 'A'},
        {GLFW_KEY_A, "", 'A'},
        {GLFW_KEY_WORLD_2, "<", '<'},      // the extra key of European keyboards
        {GLFW_KEY_WORLD_1, nullptr, GLFW_KEY_WORLD_1},
        {GLFW_KEY_WORLD_2, "\xc2\xb5", GLFW_KEY_WORLD_2},
        {GLFW_KEY_UNKNOWN, "x", 'X'},
        {GLFW_KEY_UNKNOWN, nullptr, -1},
        {GLFW_KEY_KP_1, "1", keys::Kp0 + 1},  // the keypad keeps its own codes
        {GLFW_KEY_KP_DIVIDE, "/", keys::KpDivide},
        {GLFW_KEY_F3, "x", keys::F3},
        {GLFW_KEY_ESCAPE, nullptr, keys::Esc},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keys::fromGlfw(c.key, c.typed), c.code) << "key " << c.key << " typed " << (c.typed ? c.typed : "null");
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
