// The shipped campaign: every level loads cleanly, follows the house rules
// for levels, comes in order of its measured difficulty, and its designated
// line, replayed through the game's rules at 60 and at 10 frames a second,
// completes it; winning moves on to the next level until the chain
// is back at "level0.xml". Every level file in maps/ is on the chain.
#include <gtest/gtest.h>
#include <unistd.h>

#include <iostream>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "levelcheck/check.h"
#include "solver/designated.h"
#include "solver/solver.h"
#include "rules/game.h"
#include "rules/game_test_util.h"
#include "world/level_file.h"
#include "world/light_view.h"

namespace {

constexpr std::size_t kMinimumLevels = 60;
// The lessons come first, in the order they teach; the levels after them are ordered by score.
constexpr std::size_t kLessons = 10;
constexpr IdeaSet kAllIdeas = (1u << static_cast<int>(Idea::Count)) - 1;
constexpr std::size_t kMostBlocks = 150;  // the software renderer holds 60 fps up to this

// Returns the block set of a level in a form shared by every copy of it
// moved or turned (any of the 24 turns of the grid): the least, over the
// turns, of the sorted cells moved so that their least corner is the origin.
std::vector<std::array<int, 3>> canonicalShape(const Level& level) {
    std::vector<std::array<int, 3>> best;
    const int perms[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    const int permSign[6] = {1, -1, -1, 1, 1, -1};
    for (int p = 0; p < 6; ++p)
        for (int signs = 0; signs < 8; ++signs) {
            const int sx = signs & 1 ? -1 : 1, sy = signs & 2 ? -1 : 1, sz = signs & 4 ? -1 : 1;
            if (permSign[p] * sx * sy * sz != 1) continue;  // a turn, not a mirror
            std::vector<std::array<int, 3>> cells;
            for (const Block* b : level.blocks) {
                const int v[3] = {b->x, b->y, b->z};
                cells.push_back({sx * v[perms[p][0]], sy * v[perms[p][1]], sz * v[perms[p][2]]});
            }
            std::array<int, 3> low = cells.front();
            for (const auto& c : cells)
                for (int k = 0; k < 3; ++k) low[k] = std::min(low[k], c[k]);
            for (auto& c : cells)
                for (int k = 0; k < 3; ++k) c[k] -= low[k];
            std::sort(cells.begin(), cells.end());
            if (best.empty() || cells < best) best = cells;
        }
    return best;
}

// Returns the family named at the end of a level file's first comment,
// "<!-- title (family) -->", or empty.
std::string familyOf(const std::string& path) {
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto open = text.find("<!-- ");
    const auto close = text.find(" -->");
    if (open == std::string::npos || close == std::string::npos || close < open) return {};
    // the comment reads "<!-- title (family) -->": a title without brackets
    const std::string inner = text.substr(open + 5, close - open - 5);
    const auto bracket = inner.find(" (");
    if (bracket == std::string::npos || bracket == 0 || inner.back() != ')') return {};
    const std::string title = inner.substr(0, bracket);
    const std::string family = inner.substr(bracket + 2, inner.size() - bracket - 3);
    const auto notFamily = [](char c) { return c != ' ' && (c < 'a' || c > 'z'); };
    if (title.find_first_of("()") != std::string::npos || family.empty() ||
        std::any_of(family.begin(), family.end(), notFamily))
        return {};
    return family;
}

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
    double previousScore = -1.0;
    IdeaSet used = 0;
    std::map<std::vector<std::array<int, 3>>, std::string> shapes;
    std::vector<std::string> families;
    int perfectRunSteps = 0;
    std::vector<LevelStats> figures;
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
        // every block lies in the light's view, so the shadow map holds it
        EXPECT_EQ(blocksOutsideLightView(level), 0) << lightViewWarning(level);

        const LevelStats stats = analyse(game);
        const SolveResult& r = stats.shortest;
        ASSERT_TRUE(r.won()) << describe(r);
        // the designated line is a person's: every press has a quarter of a second, and it wins
        // at 60 frames a second and at 10, the keys pressed only between frames
        ASSERT_TRUE(stats.personWinnable()) << "not winnable by a person";
        EXPECT_GE(stats.line.narrowest, kPersonWindow);
        for (double dt : {1.0 / 60.0, 1.0 / 10.0}) {
            SCOPED_TRACE(dt);
            EXPECT_EQ(replay(game, stats.designated.actions, dt), StepEnd::Won);
            EXPECT_EQ(game.player.state, PlayerState::Finished);
            EXPECT_EQ(game.collected, level.collectableCount);
        }
        perfectRunSteps += static_cast<int>(stats.designated.actions.size());
        figures.push_back(stats);
        // lessons first, each teaching at most one idea; every idea taught by level 20
        if (order.size() <= 12) {
            EXPECT_LE(std::popcount(stats.line.ideas & ~used), 1) << ideaList(stats.line.ideas & ~used);
        }
        used |= stats.line.ideas;
        if (order.size() == 20) {
            EXPECT_EQ(used, kAllIdeas) << "not yet used: " << ideaList(kAllIdeas & ~used);
        }
        // after the lessons, easiest first: ordered by the measured score
        if (order.size() > kLessons) {
            EXPECT_GE(difficultyScore(stats) + 0.05, previousScore) << describe(r);
            previousScore = difficultyScore(stats);
        }
        // no two levels share a block set, however moved or turned
        const auto [other, fresh] = shapes.emplace(canonicalShape(level), name);
        EXPECT_TRUE(fresh) << "the blocks of " << other->second;
        families.push_back(familyOf(std::string(TUMBIX_DATA_DIR) + "/maps/" + name));
        EXPECT_FALSE(families.back().empty()) << "first comment is not \"title (family)\"";
        // a returning player is back at the hard part within minutes
        if (order.size() <= 10) {
            EXPECT_LT(r.actions.size(), 20u);
        }

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
    // the figures of the whole campaign: tall and large levels, turns needed,
    // and a hard end (at least six turns, a third of the states traps)
    int tall = 0, large = 0, largest = 0, needTurns = 0, climbing = 0;
    for (const LevelStats& s : figures) {
        tall += s.heights >= 3;
        climbing += s.line.heightsVisited >= 3;
        large += s.blocks >= 60;
        largest = std::max(largest, s.blocks);
        needTurns += !s.winsWithoutTurns();
    }
    EXPECT_GE(tall, 15);
    EXPECT_GE(large, 10);
    EXPECT_GE(largest, 150);
    EXPECT_GE(2 * needTurns, static_cast<int>(figures.size()));
    EXPECT_GE(climbing, 20);  // designated lines that stand on three heights or more
    // the end of the campaign is not all one kind of structure
    const std::size_t end = families.size() - std::min<std::size_t>(15, families.size());
    const std::set<std::string> endFamilies(families.begin() + static_cast<std::ptrdiff_t>(end), families.end());
    EXPECT_GE(endFamilies.size(), 4u);
    EXPECT_LE(std::count(families.begin() + static_cast<std::ptrdiff_t>(end), families.end(), "rings"), 5);
    for (std::size_t i = figures.size() - std::min<std::size_t>(10, figures.size()); i < figures.size(); ++i) {
        SCOPED_TRACE(order[i]);
        EXPECT_GE(figures[i].fewestTurns.turns, 6);
        EXPECT_GE(figures[i].trapShare(), 0.3);
    }
    std::cout << "perfect run: " << order.size() << " levels, " << perfectRunSteps << " steps, "
              << perfectRunSteps * 0.5 / 60.0 << " minutes" << std::endl;
    for (const auto& entry : std::filesystem::directory_iterator("maps"))
        EXPECT_TRUE(met.count(entry.path().filename().string())) << entry.path() << " is not on the chain";
    EXPECT_TRUE(hasLine(console.take(), "next level is level1.xml"));  // level0.xml is current again
}

}  // namespace
