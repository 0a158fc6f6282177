// The level figures of levelcheck --stats and the generator, on small levels
// whose figures follow from the rules by hand.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <sstream>

#include "log/console.h"
#include "rules/game.h"
#include "levelcheck/check.h"
#include "solver/solver.h"
#include "levelgen/generate.h"
#include "platform/settings.h"
#include "world/level.h"

namespace {

const std::string kMaps = TUMBIX_SOURCE_DIR "/tests/levels/maps/";

class LevelStatsTest : public ::testing::Test {
protected:


    LevelStats measure(const std::string& name) {
        std::vector<std::string> lines;
        std::unique_ptr<Level> level = loadLevelFile(kMaps + name, lines);
        EXPECT_TRUE(level) << name;
        if (!level) return {};
        game.setLevel(std::move(level));
        return analyse(game);
    }

    ConsoleCapture console;
    Game game;
};

TEST_F(LevelStatsTest, FiguresOfHandMadeLevels) {
    struct Case {
        const char* level;
        bool won;
        int steps, shortestTurns, fewestTurns, turningBlocks;
        bool withoutTurns;
        std::size_t states;  // 0: not fixed by hand
        int heights;
    };
    const Case cases[] = {
        // a lone block cannot turn: one line of play, top, front, bottom,
        // back (collected), top, front, bottom (the goal): every state wins
        {"edge.xml", true, 7, 0, 0, 0, true, 7, 1},
        // the three turns of the shortest win are made on three blocks; one turn does it in 7
        {"turns.xml", true, 5, 3, 1, 3, false, 0, 1},
        // a step onto the block, a bounce off the wall standing on it
        {"wall.xml", true, 8, 0, 0, 0, true, 0, 2},
        // the lone block rolls over into its black hole: the start and the first step, both lost
        {"pit.xml", false, 0, 0, 0, 0, false, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        const LevelStats s = measure(c.level);
        ASSERT_EQ(s.won(), c.won) << describe(s.shortest);
        EXPECT_EQ(s.heights, c.heights);
        if (c.states) {
            EXPECT_EQ(s.states, c.states);
        }
        if (!c.won) {
            EXPECT_EQ(s.trapStates, s.states);  // nothing can be won from anywhere
            EXPECT_DOUBLE_EQ(s.trapShare(), 1.0);
            EXPECT_FALSE(s.winsWithoutTurns());
            EXPECT_EQ(difficultyScore(s), 0.0);
            continue;
        }
        EXPECT_EQ(s.shortest.actions.size(), static_cast<std::size_t>(c.steps));
        EXPECT_EQ(s.shortest.turns, c.shortestTurns);
        EXPECT_EQ(s.fewestTurns.turns, c.fewestTurns);
        EXPECT_EQ(s.turningBlocks, c.turningBlocks);
        EXPECT_EQ(s.winsWithoutTurns(), c.withoutTurns);
        EXPECT_GE(s.fewestTurns.actions.size(), s.shortest.actions.size());
        EXPECT_GT(difficultyScore(s), 0.0);
    }
}

TEST_F(LevelStatsTest, AWinWithoutTurnsHasNoTrapsOnItsOwnLineButAMissedTurnIsOne) {
    // edge.xml has a single line of play that wins: no state is a trap
    EXPECT_EQ(measure("edge.xml").trapStates, 0u);
    // hole.xml: doing nothing rolls into the black hole, so some lines are
    // lost, but the start is not (a turn saves it)
    const LevelStats hole = measure("hole.xml");
    ASSERT_TRUE(hole.won());
    EXPECT_GT(hole.trapStates, 0u);
    EXPECT_LT(hole.trapStates, hole.states);
    EXPECT_FALSE(hole.winsWithoutTurns());
}

TEST_F(LevelStatsTest, StatsReportAndTableNameEveryFigure) {
    const LevelStats s = measure("edge.xml");
    std::ostringstream out;
    writeStats(s, out);
    for (const char* label : {"blocks:", "heights:", "reachable states: 7", "shortest win:     7 steps, 0 turns",
                              "traps:            0 states (0.00)", "won without turn: yes", "score:"})
        EXPECT_NE(out.str().find(label), std::string::npos) << label << "\n" << out.str();
    std::ostringstream table;
    writeTableRow("edge.xml", s, table);
    std::istringstream row(table.str());
    std::string name, noTurn;
    int blocks = 0, heights = 0, steps = 0, turns = 0, turning = 0;
    double traps = 0, score = 0;
    std::size_t states = 0;
    row >> name >> blocks >> heights >> steps >> turns >> traps >> states >> turning >> noTurn >> score;
    EXPECT_EQ(name, "edge.xml");
    EXPECT_EQ(blocks, 1);
    EXPECT_EQ(steps, 7);
    EXPECT_EQ(states, 7u);
    EXPECT_EQ(noTurn, "yes");
    EXPECT_NEAR(score, difficultyScore(s), 0.05);
}

TEST(LevelGen, RangesParseAsWrittenOnTheCommandLine) {
    const struct {
        const char* text;
        bool ok;
        int lo, hi;
    } cases[] = {{"40..80", true, 40, 80}, {"7", true, 7, 7}, {"5..5", true, 5, 5}, {"80..40", false, 0, 0},
                 {"4.8", false, 0, 0},     {"a..b", false, 0, 0}, {"-3", false, 0, 0}, {"3..", false, 0, 0},
                 {"3..4x", false, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Range r;
        ASSERT_EQ(parseRange(c.text, r), c.ok);
        if (c.ok) {
            EXPECT_EQ(std::pair(r.lo, r.hi), std::pair(c.lo, c.hi));
        }
    }
}

TEST(LevelGen, EveryShapeBuildsOneJoinedStructureStartingOnAnOpenTop) {
    for (int shape = 0; shape <= static_cast<int>(Shape::Mixed); ++shape) {
        for (std::uint64_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(std::string(shapeName(static_cast<Shape>(shape))) + " seed " + std::to_string(seed));
            Random random(seed);
            const Structure s = Structure::build(static_cast<Shape>(shape), 40, random);
            ASSERT_GE(s.size(), 3u);
            EXPECT_LE(s.size(), 40u);
            EXPECT_TRUE(s.has(0, 0, 0));
            EXPECT_TRUE(s.open({0, 0, 0}, Direction::Top));
            // joined: every cell reachable from the start through shared faces
            std::set<Cell> seen{{0, 0, 0}};
            std::vector<Cell> todo{{0, 0, 0}};
            while (!todo.empty()) {
                const auto [x, y, z] = todo.back();
                todo.pop_back();
                for (const Cell& n : {Cell{x + 1, y, z}, Cell{x - 1, y, z}, Cell{x, y + 1, z}, Cell{x, y - 1, z},
                                      Cell{x, y, z + 1}, Cell{x, y, z - 1}})
                    if (s.has(std::get<0>(n), std::get<1>(n), std::get<2>(n)) && seen.insert(n).second)
                        todo.push_back(n);
            }
            EXPECT_EQ(seen.size(), s.size());
            // trails and spirals are one path a block wide: two ends, every
            // other cell joined to exactly two
            if (shape == static_cast<int>(Shape::Trails) || shape == static_cast<int>(Shape::Spirals)) {
                EXPECT_EQ(s.size(), 40u);
                int ends = 0;
                for (const Cell& c : s.cells()) {
                    int joined = 0;
                    for (int f = 0; f < 6; ++f) joined += !s.open(c, f);
                    EXPECT_LE(joined, 2);
                    ends += joined == 1;
                }
                EXPECT_EQ(ends, 2);
            }
        }
    }
}

TEST_F(LevelStatsTest, DecalsAlongAWalkMakeTheLineCrossTheWholeStructure) {
    // The collectables and the goal go along a walk a person could make, so
    // the designated line stands on most of a trail and climbs with it.
    for (Shape shape : {Shape::Trails, Shape::Spirals}) {
        SCOPED_TRACE(shapeName(shape));
        GenerateOptions o;
        o.seed = 7;
        o.shape = shape;
        o.blocks = {24, 30};
        o.holes = {0, 1};
        o.collectables = {2, 3};
        o.minVisitedShare = 0.5;
        o.minHeightsVisited = 3;
        o.maxStates = 200000;
        o.tries = 25;
        o.rounds = 2;
        std::string why;
        const std::optional<Generated> g = generate(game, o, &why);
        ASSERT_TRUE(g) << why;
        // measured afresh from the file
        std::unique_ptr<Level> level = loadLevelFromText("gen.xml", writeLevelText(g->text));
        ASSERT_TRUE(level);
        const int blocks = static_cast<int>(level->blocks.size());
        game.setLevel(std::move(level));
        const LevelStats s = analyse(game);
        ASSERT_TRUE(s.personWinnable());
        EXPECT_GE(2 * s.line.blocksVisited, blocks);
        EXPECT_GE(s.line.heightsVisited, 3);
        EXPECT_GE(s.line.narrowest, kPersonWindow);
    }
}

TEST_F(LevelStatsTest, TheSameSeedGivesTheSameLevelAndItMeetsItsConstraints) {
    GenerateOptions o;
    o.seed = 5;
    o.blocks = {12, 20};
    o.minTurns = 2;
    o.needsTurn = true;
    o.title = "a test level";
    std::string why;
    const std::optional<Generated> first = generate(game, o, &why);
    ASSERT_TRUE(first) << why;
    const std::optional<Generated> again = generate(game, o, &why);
    ASSERT_TRUE(again) << why;
    const std::string text = writeLevelText(first->text);
    EXPECT_EQ(text, writeLevelText(again->text));
    EXPECT_NE(text.find("<!-- a test level -->"), std::string::npos);
    // nothing stands between the camera and the avatar at the start
    Structure cells;
    for (const BlockEntry& b : first->text.blocks) cells.add(b.x, b.y, b.z);
    EXPECT_TRUE(cells.cameraClear({0, 0, 0}));
    EXPECT_FALSE(cells.has(0, 1, 1));

    // the file, loaded afresh, measures as the generator said
    std::unique_ptr<Level> level = loadLevelFromText("gen.xml", text);
    ASSERT_TRUE(level);
    EXPECT_GE(level->blocks.size(), 12u);
    EXPECT_LE(level->blocks.size(), 20u);
    game.setLevel(std::move(level));
    const LevelStats s = analyse(game);
    ASSERT_TRUE(s.won());
    EXPECT_GE(s.fewestTurns.turns, 2);
    EXPECT_FALSE(s.winsWithoutTurns());
    EXPECT_EQ(s.shortest.actions, first->stats.shortest.actions);
    EXPECT_EQ(missedConstraint(s, o), "");

    o.seed = 6;
    const std::optional<Generated> other = generate(game, o, &why);
    ASSERT_TRUE(other) << why;
    EXPECT_NE(writeLevelText(other->text), text);
}

TEST_F(LevelStatsTest, FromALevelOnlyItsDecalsMoveUntilItCanBeWon) {
    // faraway.xml: the collectable lies in the lane the avatar never enters
    std::vector<std::string> lines;
    std::unique_ptr<Level> level = loadLevelFile(kMaps + "faraway.xml", lines);
    ASSERT_TRUE(level);
    level->reset();
    GenerateOptions o;
    o.start = levelTextOf(*level);
    o.holes = {0, 0};
    o.tries = 3;
    std::string why;
    const std::optional<Generated> fixed = generate(game, o, &why);
    ASSERT_TRUE(fixed) << why;
    ASSERT_EQ(fixed->text.blocks.size(), o.start->blocks.size());
    int collectables = 0, goals = 0;
    for (std::size_t i = 0; i < fixed->text.blocks.size(); ++i) {
        const BlockEntry& a = fixed->text.blocks[i];
        const BlockEntry& b = o.start->blocks[i];
        EXPECT_EQ(std::tuple(a.x, a.y, a.z), std::tuple(b.x, b.y, b.z));
        for (int f = 0; f < 6; ++f) {
            collectables += a.decals[f] == Decal::Collectable;
            goals += a.decals[f] == Decal::Goal;
            EXPECT_NE(a.decals[f], Decal::Blackhole);
        }
    }
    EXPECT_EQ(collectables, 1);
    EXPECT_EQ(goals, 1);
    EXPECT_TRUE(fixed->stats.won());
}

TEST(LevelGen, MissedConstraintsAreNamed) {
    LevelStats s;
    s.shortest.outcome = SolveResult::Outcome::Won;
    s.shortest.actions.assign(10, Action::None);
    s.fewestTurns = s.shortest;
    s.designated = s.shortest;  // a person's line, over one height
    s.line.won = true;
    s.line.heightsVisited = 1;
    s.states = 10;
    s.trapStates = 2;
    s.heights = 1;
    GenerateOptions o;
    EXPECT_EQ(missedConstraint(s, o), "");
    o.minTurns = 1;
    EXPECT_EQ(missedConstraint(s, o), "fewer turns than --min-turns");
    o.minTurns = 0;
    o.needsTurn = true;
    EXPECT_EQ(missedConstraint(s, o), "won without turning");
    o.needsTurn = false;
    o.minTrapShare = 0.3;
    EXPECT_EQ(missedConstraint(s, o), "trap share below --min-trap-share");
    o.minTrapShare = 0.2;
    o.maxSteps = 9;
    EXPECT_EQ(missedConstraint(s, o), "shortest win above --max-steps");
}

}  // namespace
