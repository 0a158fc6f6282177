// The designated line and its figures (levelcheck --stats), on small levels
// whose answer follows from the rules by hand, and the press windows checked
// against the rules by pressing late.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "levelcheck/check.h"
#include "solver/designated.h"
#include "solver/solver.h"
#include "levelgen/generate.h"
#include "log/console.h"
#include "rules/game.h"
#include "world/level.h"

namespace {

const std::string kMaps = TUMBIX_SOURCE_DIR "/tests/levels/maps/";

class Designated : public ::testing::Test {
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

constexpr IdeaSet set(std::initializer_list<Idea> ideas) {
    IdeaSet s = 0;
    for (Idea i : ideas) s |= ideaBit(i);
    return s;
}

TEST_F(Designated, IdeasAndFiguresOfSmallLevels) {
    using enum Idea;
    struct Case {
        const char* level;
        int steps, turns, visited, heights;
        double narrowest;  // 0: no press after the start
        IdeaSet ideas;
    };
    const Case cases[] = {
        // a lone block: top, front, bottom, back (collected), top, front, bottom (the goal)
        {"edge.xml", 7, 0, 1, 1, 0.0, set({Edge, Underside})},
        // one step, a bounce off the block standing on the next one, back over the start's edge, round
        // underneath and up onto the raised block
        {"wall.xml", 8, 0, 3, 2, 0.0, set({Edge, Wall, Underside, Climb})},
        // the shortest win turns three times, one within a bounce's step; the designated line turns once
        {"turns.xml", 7, 1, 5, 1, 0.25, set({Edge, Turn})},
        // A (or F) at the start: the black hole ahead is turned aside, and the goal underneath comes round
        {"hole.xml", 5, 1, 2, 1, 0.0, set({Edge, Blackhole, StartTurn, Carry})},
        // a straight run over both collectables
        {"collect.xml", 4, 0, 4, 1, 0.0, set({Collect})},
        {"run.xml", 3, 0, 3, 1, 0.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        const LevelStats s = measure(c.level);
        ASSERT_TRUE(s.personWinnable()) << describe(s.designated);
        const LineFigures& l = s.line;
        EXPECT_EQ(s.designated.actions.size(), static_cast<std::size_t>(c.steps));
        EXPECT_EQ(l.steps, c.steps);
        EXPECT_EQ(l.turns, c.turns);
        EXPECT_EQ(s.designated.turns, c.turns);
        EXPECT_EQ(l.blocksVisited, c.visited);
        EXPECT_EQ(l.heightsVisited, c.heights);
        if (c.narrowest == 0.0) {
            EXPECT_FALSE(l.hasPress());
        } else {
            EXPECT_NEAR(l.narrowest, c.narrowest, 0.005);
        }
        EXPECT_EQ(ideaList(l.ideas), ideaList(c.ideas));
        // never longer than needed: no win is shorter than the shortest
        EXPECT_GE(s.designated.actions.size(), s.shortest.actions.size());
    }
}

TEST_F(Designated, ALevelWhoseWinsAllNeedATenthOfASecondIsNotForAPerson) {
    const LevelStats s = measure("narrow.xml");
    ASSERT_TRUE(s.won());
    EXPECT_FALSE(s.personWinnable());
    double narrowest = kUnlimitedWindow;
    for (double w : measureLine(game, s.shortest.actions).windows)
        if (w > 0.0) narrowest = std::min(narrowest, w);
    EXPECT_NEAR(narrowest, 0.1, 0.005);  // a turn in the step after a bounce

    std::ostringstream out;
    CheckOptions options;
    options.stats = true;
    const LevelVerdict verdict = checkLevel(game, kMaps + "narrow.xml", options, out);
    EXPECT_FALSE(verdict.ok());
    EXPECT_NE(out.str().find("not winnable by a person"), std::string::npos) << out.str();
}

// Where a press sends the avatar: its place at the next decision point.
struct After {
    StepEnd end;
    int block, up, forward, collected;
    bool operator==(const After&) const = default;
};

// Plays `actions` up to step i at fine frames, waits `delay` seconds, then presses step i's key.
After pressLate(Game& game, const std::vector<Action>& actions, std::size_t i, double delay) {
    constexpr double kFine = 0.001;
    ConsoleSilence quiet;
    EXPECT_EQ(replay(game, {actions.begin(), actions.begin() + static_cast<long>(i)}, kFine), StepEnd::Continues);
    for (double waited = 0.0; waited + 1e-9 < delay; waited += kFine) game.gameStep(kFine);
    const StepEnd end = playStep(game, actions[i], kFine);
    return {end, game.currentBlock->index, game.player.up, game.player.forward, game.collected};
}

TEST_F(Designated, EveryWindowIsTheTimeDuringWhichThePressGivesTheSameStep) {
    int checked = 0;
    for (const char* name : {"turns.xml", "narrow.xml", "hole.xml"}) {
        SCOPED_TRACE(name);
        const LevelStats s = measure(name);
        for (const SolveResult* line : {&s.shortest, &s.designated}) {
            const std::vector<Action>& actions = line->actions;
            const std::vector<double> windows = measureLine(game, actions).windows;
            for (std::size_t i = 1; i < actions.size(); ++i) {
                if (actions[i] == Action::None) continue;
                SCOPED_TRACE("step " + std::to_string(i + 1));
                const After onTime = pressLate(game, actions, i, 0.0);
                ASSERT_EQ(onTime.end, StepEnd::Continues);
                EXPECT_EQ(pressLate(game, actions, i, windows[i] - 0.01), onTime);
                // a window that ends where turns are refused (not where the last
                // collectable opens the goal) ends exactly there
                const bool toTheTurnLimit = std::fabs(windows[i] - 0.25) < 1e-3 ||
                                            std::fabs(windows[i] - 0.1) < 1e-3 ||
                                            std::fabs(windows[i] - 0.4856) < 1e-3;
                if (toTheTurnLimit) {
                    EXPECT_NE(pressLate(game, actions, i, windows[i] + 0.01), onTime);
                }
                ++checked;
            }
        }
    }
    EXPECT_GE(checked, 10);
}

TEST(Ideas, ListsParseByName) {
    const struct {
        const char* text;
        bool ok;
        IdeaSet ideas;
    } cases[] = {
        {"edge", true, ideaBit(Idea::Edge)},
        {"wall,start-turn", true, ideaBit(Idea::Wall) | ideaBit(Idea::StartTurn)},
        {"climb, carry", true, ideaBit(Idea::Climb) | ideaBit(Idea::Carry)},
        {"edge,nothing", false, 0},
        {"", false, 0},
        {"Edge", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        IdeaSet ideas = 0;
        ASSERT_EQ(parseIdeas(c.text, ideas), c.ok);
        if (c.ok) {
            EXPECT_EQ(ideas, c.ideas);
        }
    }
    EXPECT_EQ(ideaList(0), "none");
    EXPECT_EQ(ideaList(ideaBit(Idea::Blackhole) | ideaBit(Idea::Edge)), "edge, blackhole");
    IdeaSet all = 0;
    ASSERT_TRUE(parseIdeas(ideaList((1u << static_cast<int>(Idea::Count)) - 1), all));
    EXPECT_EQ(all, (1u << static_cast<int>(Idea::Count)) - 1);
}

TEST_F(Designated, StatsReportTheDesignatedLineInItsOwnLines) {
    const LevelStats s = measure("turns.xml");
    std::ostringstream out;
    writeStats(s, out);
    for (const char* line : {"  designated:       7 steps, 1 turn\n", "  blocks visited:   5 of 5 (100 %)\n",
                             "  heights visited:  1\n", "  narrowest window: 0.25 s\n", "  ideas:            edge, turn\n"})
        EXPECT_NE(out.str().find(line), std::string::npos) << line << out.str();
    std::ostringstream edge;
    writeStats(measure("edge.xml"), edge);
    EXPECT_NE(edge.str().find("  narrowest window: none\n"), std::string::npos) << edge.str();

    std::ostringstream verbose;
    writeDesignated(s, verbose);
    EXPECT_NE(verbose.str().find("designated line: 7 steps, 1 turn\n  step 1: space  window no limit\n"),
              std::string::npos)
        << verbose.str();
    EXPECT_NE(verbose.str().find("window 0.25 s"), std::string::npos) << verbose.str();
}

}  // namespace

namespace {

TEST(LevelGenPlay, ConstraintsOnTheDesignatedLineAreNamed) {
    LevelStats s;
    s.shortest.outcome = SolveResult::Outcome::Won;
    s.shortest.actions.assign(10, Action::None);
    s.fewestTurns = s.shortest;
    s.designated = s.shortest;
    s.blocks = 20;
    s.heights = 3;
    s.line.won = true;
    s.line.steps = 10;
    s.line.blocksVisited = 8;
    s.line.heightsVisited = 2;
    s.line.narrowest = 0.25;
    s.line.ideas = ideaBit(Idea::Edge) | ideaBit(Idea::Turn);
    const struct {
        void (*set)(GenerateOptions&, LevelStats&);
        const char* miss;
    } cases[] = {
        {[](GenerateOptions&, LevelStats&) {}, ""},
        {[](GenerateOptions& o, LevelStats&) { o.minVisitedShare = 0.4; }, ""},  // 8 of 20
        {[](GenerateOptions& o, LevelStats&) { o.minVisitedShare = 0.45; },
         "designated line visits less than --min-visited-share"},
        {[](GenerateOptions& o, LevelStats&) { o.minHeightsVisited = 3; },
         "designated line on fewer heights than --min-heights-visited"},
        {[](GenerateOptions& o, LevelStats&) { o.minWindow = 0.3; }, "a press narrower than --min-window"},
        {[](GenerateOptions& o, LevelStats& l) { o.minWindow = 0.3, l.line.narrowest = kUnlimitedWindow; }, ""},
        {[](GenerateOptions& o, LevelStats&) { o.ideas = ideaBit(Idea::Edge); }, ""},
        {[](GenerateOptions& o, LevelStats&) { o.ideas = ideaBit(Idea::Edge) | ideaBit(Idea::Wall); },
         "designated line misses an idea of --ideas"},
        {[](GenerateOptions&, LevelStats& l) { l.designated.outcome = SolveResult::Outcome::NoWayToWin; },
         "not winnable by a person"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.miss);
        GenerateOptions o;
        LevelStats level = s;
        c.set(o, level);
        EXPECT_EQ(missedConstraint(level, o), c.miss);
    }
}

}  // namespace
