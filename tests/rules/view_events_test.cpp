// The rules report what the view must follow and leave the view alone: the
// camera stays where it was, whatever the game does.
#include <gtest/gtest.h>

#include <algorithm>

#include "motion/camera.h"
#include "rules/game_test_util.h"

namespace {

using ViewEvents = GameScenario;

bool names(const std::vector<int>& blocks, int index) {
    return std::find(blocks.begin(), blocks.end(), index) != blocks.end();
}

TEST_F(ViewEvents, ResetsAndSwitchesAreReportedAndTheCameraIsLeftAlone) {
    cameraPosition = {3.0f, 2.0f, 1.0f};  // moved by the mouse
    game.clearEvents();                   // the constructor's reset
    load("run.xml");
    game.resetAttempt();
    EXPECT_EQ(game.views, (std::vector<ViewEvent>{ViewEvent::LevelSwitched, ViewEvent::AttemptReset}));
    game.gameStep(0.01);
    EXPECT_TRUE(game.views.empty()) << "every step starts fresh lists";
    ASSERT_TRUE(game.switchLevel("turns.xml"));
    EXPECT_EQ(game.views, std::vector<ViewEvent>{ViewEvent::LevelSwitched});
    EXPECT_EQ(cameraPosition.x, 3.0f);
    EXPECT_EQ(cameraPosition.z, 1.0f);
    resetCamera();
}

TEST_F(ViewEvents, TakenCollectablesTheOpenedGoalAndTurnsNameTheirBlocks) {
    load("run.xml");  // block 1 carries the collectable, block 2 the goal
    ASSERT_TRUE(game.onSpace());
    std::vector<int> named;
    ASSERT_TRUE(runUntil(0.05, 2.0, [&] {
        named.insert(named.end(), game.changedBlocks.begin(), game.changedBlocks.end());
        return game.collected == 1;
    }));
    named.insert(named.end(), game.changedBlocks.begin(), game.changedBlocks.end());
    EXPECT_TRUE(names(named, 1));
    EXPECT_TRUE(names(named, 2));
    EXPECT_FALSE(names(named, 0));

    // R: the blocks play changed go back and say so
    game.gameStep(0.0);
    game.resetAttempt();
    EXPECT_TRUE(names(game.changedBlocks, 1));
    EXPECT_TRUE(names(game.changedBlocks, 2));

    load("turns.xml");
    game.gameStep(0.0);
    ASSERT_TRUE(game.rotateLeft());
    EXPECT_EQ(game.changedBlocks, std::vector<int>{game.currentBlock->index});
    // restoring the state before the turn turns the block back
    Game::State turned = game.state();
    game.gameStep(0.0);
    game.resetAttempt();
    const Game::State before = game.state();
    game.restore(turned);
    game.gameStep(0.0);
    game.restore(before);
    EXPECT_EQ(game.changedBlocks, std::vector<int>{0});
}

}  // namespace
