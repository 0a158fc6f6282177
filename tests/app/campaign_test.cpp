// The shipped campaign: every level loads cleanly, follows the house rules
// for levels, and the checker's shortest win, replayed through the game's
// rules at 60 frames a second, completes it; winning moves on to the next
// level until the chain is back at "level0.xml".
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "levelcheck/check.h"
#include "levelcheck/solver.h"
#include "rules/game.h"
#include "rules/game_test_util.h"
#include "world/level_file.h"

namespace {

constexpr std::size_t kMinimumLevels = 12;
constexpr std::size_t kMostBlocks = 150;  // the software renderer holds 60 fps up to this

// Runs on the shipped levels in data/.
class Campaign : public HeadlessGame {
protected:
    Campaign() : HeadlessGame(TUMBIX_DATA_DIR) {}
};

// Returns the number of faces carrying `decal` in the level's start state.
int facesWith(const Level& level, int decal) {
    int n = 0;
    for (const Block* b : level.blocks)
        for (int f = 0; f < 6; ++f) n += b->decals[f] == decal;
    return n;
}

TEST_F(Campaign, EveryLevelIsWonInOrderFromLevelZeroBackToLevelZero) {
    ASSERT_TRUE(game.switchLevel("level0.xml"));
    std::vector<std::string> order{"level0.xml"};
    std::set<std::string> met{"level0.xml"};
    int previousEffort = -1;
    while (true) {
        const std::string name = order.back();
        SCOPED_TRACE(name);
        const std::vector<std::string> loadLines = console.take();
        for (const std::string& line : loadLines) EXPECT_FALSE(isDiagnostic(line)) << line;

        const Level& level = *game.level;
        EXPECT_LE(name.size(), maxLevelNameLength);
        EXPECT_EQ(facesWith(level, Decal::Goal), 1);
        if (name != "level0.xml") {
            EXPECT_GE(level.collectableCount, 1);
        }
        EXPECT_LE(level.blocks.size(), kMostBlocks);

        const SolveResult r = solve(game);
        ASSERT_TRUE(r.won()) << describe(r);
        EXPECT_EQ(replay(game, r.actions), StepEnd::Won);
        EXPECT_EQ(game.player.state, PlayerState::Finished);
        EXPECT_EQ(game.collected, level.collectableCount);
        // the teaching levels come first; later levels take more steps and turns
        const int effort = static_cast<int>(r.actions.size()) + 10 * r.turns;
        if (order.size() > 5) {
            EXPECT_GE(effort, previousEffort) << describe(r);
        }
        previousEffort = effort;

        const std::string next = level.nextLevel;
        console.take();
        ASSERT_TRUE(game.onSpace());  // space after a win loads the next level
        ASSERT_EQ(game.level->nextLevel.empty(), false);
        EXPECT_EQ(game.player.state, PlayerState::Waiting);
        if (next == "level0.xml") break;
        ASSERT_TRUE(met.insert(next).second) << "the chain runs into " << next << " again";
        order.push_back(next);
        ASSERT_LT(order.size(), 100u);
    }
    EXPECT_GE(order.size(), kMinimumLevels);
    EXPECT_TRUE(hasLine(console.take(), "next level is level1.xml"));  // level0.xml is current again
}

}  // namespace
