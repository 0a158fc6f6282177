// The HUD lines: texts, scales and places per state.
#include "app/hud.h"

#include <gtest/gtest.h>

#include <string>

#include "motion/player.h"

namespace {

std::string text(const HudLayout& hud, int i) { return hud.lines[i].text; }

}  // namespace

TEST(Hud, WaitingWithCounter) {
    const HudLayout hud = layoutHud(true, 1234, 1, 3, PlayerState::Waiting);
    ASSERT_EQ(hud.count, 6);
    EXPECT_EQ(text(hud, 0), "1234");
    EXPECT_EQ(hud.lines[0].scale, 0.003f);
    EXPECT_EQ(hud.lines[0].x, 0.8f);
    EXPECT_EQ(hud.lines[0].y, 0.7f);
    EXPECT_EQ(text(hud, 1), "collected:");
    EXPECT_EQ(text(hud, 2), "1");
    EXPECT_EQ(hud.lines[2].x, -0.55f);
    EXPECT_EQ(text(hud, 3), "/");
    EXPECT_EQ(hud.lines[3].x, -0.52f);
    EXPECT_EQ(text(hud, 4), "3");
    EXPECT_EQ(hud.lines[4].x, -0.5f);
    EXPECT_EQ(hud.lines[4].y, -0.5f);
    EXPECT_EQ(hud.lines[4].scale, 0.001f);
    EXPECT_EQ(text(hud, 5), "hit space to start, A and F to rotate");
    EXPECT_EQ(hud.lines[5].x, -0.65f);
    EXPECT_EQ(hud.lines[5].y, 0.0f);
}

TEST(Hud, NothingToCollectAndNoCounter) {
    const HudLayout hud = layoutHud(false, 99, 0, 0, PlayerState::Rolling);
    ASSERT_EQ(hud.count, 5);
    EXPECT_EQ(text(hud, 0), "collected:");
    EXPECT_EQ(text(hud, 1), "0");
    EXPECT_EQ(text(hud, 3), "0");
    EXPECT_EQ(text(hud, 4), "you got them all, find the world field to finish the level!");
    EXPECT_EQ(hud.lines[4].x, -0.45f);
}

TEST(Hud, CentreLinePerState) {
    EXPECT_EQ(text(layoutHud(false, 0, 0, 1, PlayerState::Dead), 4), "you are dead. hit R to reset.");
    EXPECT_EQ(layoutHud(false, 0, 0, 1, PlayerState::Dead).lines[4].x, -0.6f);
    EXPECT_EQ(text(layoutHud(false, 0, 1, 1, PlayerState::Finished), 5),
              "congratulations! hit space for the next level");
    for (int moving : {PlayerState::Rolling, PlayerState::Turning, PlayerState::Sinking, PlayerState::EnteringGoal})
        EXPECT_EQ(layoutHud(false, 0, 0, 1, moving).count, 4);
}

TEST(Hud, NegativeAndLargeNumbersInPlainDecimal) {
    const HudLayout hud = layoutHud(true, -2147483647 - 1, 2147483647, 5, PlayerState::Rolling);
    EXPECT_EQ(text(hud, 0), "-2147483648");
    EXPECT_EQ(text(hud, 2), "2147483647");
}
