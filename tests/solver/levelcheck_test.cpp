// The level checker's search and reports on the small levels of tests/levels.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "levelcheck/check.h"
#include "solver/solver.h"
#include "rules/game.h"
#include "rules/game_test_util.h"

namespace fs = std::filesystem;

namespace {

const std::string kMaps = TUMBIX_SOURCE_DIR "/tests/levels/maps/";

class LevelCheck : public ::testing::Test {
protected:
    // Loads a fixture into the game and searches it.
    SolveResult solveFixture(const char* name, SolveOrder order = SolveOrder::FewestSteps) {
        std::vector<std::string> lines;
        std::unique_ptr<Level> level = loadLevelFile(kMaps + name, lines);
        EXPECT_TRUE(level) << name;
        if (!level) return {};
        game.setLevel(std::move(level));
        SolveLimits limits;
        limits.order = order;
        return solve(game, limits);
    }
    // Returns the report lines of `check` run on a fixture.
    template <typename Check>
    std::vector<std::string> report(Check check) {
        std::ostringstream out;
        ok = check(out);
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    ConsoleCapture console;  // keeps the game's own lines out of the test log
    Game game;
    bool ok = false;
};

TEST_F(LevelCheck, StraightRunNeedsOnlyTheSpaceBarAndReplaysAtAnyUsualFrameRate) {
    const SolveResult r = solveFixture("run.xml");
    ASSERT_TRUE(r.won()) << describe(r);
    EXPECT_EQ(r.actions, (std::vector<Action>{Action::None, Action::None, Action::None}));
    EXPECT_EQ(r.turns, 0);
    EXPECT_EQ(describe(r), "solved in 3 steps, 0 turns");
    for (double dt : {1.0 / 144, 1.0 / 60, 1.0 / 30, kSearchFrameTime}) {
        SCOPED_TRACE(dt);
        EXPECT_EQ(replay(game, r.actions, dt), StepEnd::Won);
        EXPECT_EQ(game.collected, 1);
    }
}

TEST_F(LevelCheck, TheTurnThatAvoidsTheBlackHoleIsFoundAndDoingNothingDies) {
    const SolveResult r = solveFixture("hole.xml");
    ASSERT_TRUE(r.won()) << describe(r);
    EXPECT_EQ(r.turns, 1);
    EXPECT_NE(r.actions.front(), Action::None);  // the attempt starts with the turn
    EXPECT_EQ(replay(game, r.actions), StepEnd::Won);
    EXPECT_EQ(replay(game, {Action::None, Action::None}), StepEnd::Died);
}

TEST_F(LevelCheck, FewestTurnsTradesStepsForTurns) {
    const SolveResult shortest = solveFixture("turns.xml");
    const SolveResult fewest = solveFixture("turns.xml", SolveOrder::FewestTurns);
    ASSERT_TRUE(shortest.won());
    ASSERT_TRUE(fewest.won());
    EXPECT_EQ(describe(shortest), "solved in 5 steps, 3 turns");
    EXPECT_EQ(describe(fewest), "solved in 7 steps, 1 turn");
    EXPECT_EQ(replay(game, fewest.actions), StepEnd::Won);
    // A turn the block refuses ends the replay there.
    EXPECT_EQ(replay(game, {Action::None, Action::None, Action::None, Action::None, Action::None, Action::Left}),
              StepEnd::Refused);
}

TEST_F(LevelCheck, UnwinnableLevelsSayWhy) {
    const SolveResult noGoal = solveFixture("nogoal.xml");
    EXPECT_EQ(noGoal.outcome, SolveResult::Outcome::NoGoal);
    EXPECT_EQ(describe(noGoal), "cannot be won: the level has no goal");

    const SolveResult far = solveFixture("faraway.xml");
    EXPECT_EQ(far.outcome, SolveResult::Outcome::UnreachableCollectables);
    EXPECT_EQ(far.unreachable, std::vector<std::string>{"collectable on (1,0,-1)"});

    const SolveResult loop = solveFixture("loop.xml");
    EXPECT_EQ(loop.outcome, SolveResult::Outcome::NoWayToWin);
    EXPECT_EQ(loop.blackHoleEnds, 0u);
    EXPECT_GT(loop.loopEnds, 0u);

    const SolveResult pit = solveFixture("pit.xml");
    EXPECT_EQ(pit.outcome, SolveResult::Outcome::NoWayToWin);
    EXPECT_EQ(pit.blackHoleEnds, 1u);
    EXPECT_EQ(pit.loopEnds, 0u);
    EXPECT_EQ(describe(pit).rfind("cannot be won: every line of play ends in a black hole or an endless loop", 0), 0u);

    SolveLimits tight;
    tight.maxStates = 2;
    std::vector<std::string> lines;
    game.setLevel(loadLevelFile(kMaps + "loop.xml", lines));
    EXPECT_EQ(solve(game, tight).outcome, SolveResult::Outcome::GaveUp);

    // a raised cancel flag stops the search before it expands anything
    std::atomic<bool> cancel{true};
    SolveLimits cancelled;
    cancelled.cancel = &cancel;
    const SolveResult stopped = solve(game, cancelled);
    EXPECT_EQ(stopped.outcome, SolveResult::Outcome::Cancelled);
    EXPECT_EQ(describe(stopped), "undecided: the search was cancelled after 1 states");
    cancel = false;
    EXPECT_EQ(solve(game, cancelled).outcome, SolveResult::Outcome::NoWayToWin);
}

TEST_F(LevelCheck, StepLinesNameTheSpaceBarOnlyWhenNoTurnStartsTheAttempt) {
    EXPECT_EQ(stepLines({Action::None, Action::None, Action::Right, Action::None, Action::Left}),
              (std::vector<std::string>{"step 1: space", "step 3: F", "step 5: A"}));
    EXPECT_EQ(stepLines({Action::Left, Action::None}), std::vector<std::string>{"step 1: A"});
}

TEST_F(LevelCheck, ReportShowsTheLoaderDiagnosticsAndTheSolution) {
    const auto lines = report([&](std::ostream& out) {
        return checkLevel(game, kMaps + "chain_b.xml", {}, out).ok();
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(lines, (std::vector<std::string>{"== chain_b.xml", "ERROR: illegal direction specifier: Top",
                                               "solved in 3 steps, 0 turns", "  step 1: space"}));
    EXPECT_TRUE(isDiagnostic("WARNUNG: unknown level attribute: author"));
    EXPECT_TRUE(isDiagnostic("Loading file x.xml failed!"));
    EXPECT_FALSE(isDiagnostic("decal2face1"));
}

TEST_F(LevelCheck, VerboseReportTracesEveryStep) {
    CheckOptions verbose;
    verbose.verbose = true;
    const auto lines = report([&](std::ostream& out) { return checkLevel(game, kMaps + "run.xml", verbose, out).ok(); });
    EXPECT_TRUE(ok);
    EXPECT_TRUE(hasLine(lines, "Level consists of 3 blocks"));
    EXPECT_TRUE(hasLine(lines, "  step 3: -  on (0,0,-2) top face, heading front"));
}

TEST_F(LevelCheck, FilesOutsideAMapsFolderOrMissingAreNotLoaded) {
    std::vector<std::string> lines;
    EXPECT_FALSE(loadLevelFile(TUMBIX_SOURCE_DIR "/tests/levels/run.xml", lines));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("not in a folder named maps"), std::string::npos);
    EXPECT_FALSE(loadLevelFile(kMaps + "missing.xml", lines));
    EXPECT_EQ(lines, std::vector<std::string>{"Loading file missing.xml failed!"});
}

TEST_F(LevelCheck, ChainThatClosesOnItsStartPasses) {
    const auto lines = report([&](std::ostream& out) { return checkChain(game, kMaps + "turns.xml", {}, out); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(lines.back(), "chain of 2 levels: turns.xml -> chain_b.xml -> turns.xml");
}

// Why a file is refused is part of the report without --verbose.
TEST_F(LevelCheck, TheReasonForARefusedFileIsShownWithoutVerbose) {
    const std::string outside = TUMBIX_SOURCE_DIR "/tests/levels/run.xml";
    const auto lines = report([&](std::ostream& out) { return checkLevel(game, outside, {}, out).ok(); });
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "== run.xml",
                         "ERROR: " + outside + " is not in a folder named maps (the game loads maps/<name>)",
                         "cannot be loaded"}));
}

// Levels are the same when their files are: a chain started through a link
// or an unusual path closes on its start, and a "next" the game would refuse
// breaks the chain even when the file it names exists.
TEST_F(LevelCheck, ChainsCompareFilesNotSpellings) {
    const fs::path maps = fs::temp_directory_path() / ("tumbix-chain-" + std::to_string(::getpid())) / "maps";
    fs::create_directories(maps);
    const auto level = [&](const char* name, const char* next) {
        std::ofstream(maps / name) << "<map next=\"" << next << "\"><level><light/><block x=\"0\" y=\"0\" z=\"0\">"
                                   << "<goal face=\"back\"/></block><block x=\"0\" y=\"0\" z=\"-1\"/></level></map>";
    };
    level("a.xml", "b.xml");
    level("b.xml", "a.xml");
    level("c.xml", "./c.xml");
    fs::create_symlink("a.xml", maps / "start.xml");
    const struct {
        std::string start;
        std::string last;
    } cases[] = {
        {(maps / "start.xml").string(), "chain of 2 levels: start.xml -> b.xml -> start.xml"},
        {(maps / ".." / "maps" / "a.xml").string(), "chain of 2 levels: a.xml -> b.xml -> a.xml"},
        {(maps / "c.xml").string(), "broken chain: c.xml names ./c.xml, which the game refuses (not a plain file name "
                                    "in maps/)"},
    };
    for (const auto& c : cases) {
        const auto lines = report([&](std::ostream& out) { return checkChain(game, c.start, {}, out); });
        EXPECT_EQ(lines.back(), c.last) << c.start;
    }
    fs::remove_all(maps.parent_path());
}

TEST_F(LevelCheck, BrokenChainsAreReported) {
    auto lines = report([&](std::ostream& out) { return checkChain(game, kMaps + "run.xml", {}, out); });
    EXPECT_FALSE(ok);
    EXPECT_TRUE(hasLine(lines, "Loading file missing.xml failed!"));
    EXPECT_EQ(lines.back(), "broken chain: second.xml names missing.xml, which cannot be loaded");

    lines = report([&](std::ostream& out) { return checkChain(game, kMaps + "chain_c.xml", {}, out); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(lines.back(), "broken chain: chain_b.xml leads back to turns.xml, never to chain_c.xml");

    lines = report([&](std::ostream& out) { return checkChain(game, kMaps + "pit.xml", {}, out); });
    EXPECT_FALSE(ok);  // pit.xml cannot be won, and its chain breaks at missing.xml
}

}  // namespace
