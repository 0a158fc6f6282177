// The live verdict: the worker that judges the newest version, and the
// judgement of small levels by the checker's search.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/judge.h"
#include "log/console.h"
#include "editor/verdict_runner.h"
#include "world/level.h"

namespace {

// A judge that waits for its cancel flag when the text says "block" and
// answers at once otherwise; counts its cancellations.
struct FakeJudge {
    std::atomic<int> cancelled{0};
    VerdictRunner::Judge judge() {
        return [this](const std::string& text, const std::atomic<bool>& cancel,
                      const std::function<void(const Verdict&)>& progress) {
            Verdict v;
            v.warnings = {"seen " + text};
            progress(v);
            if (text == "block") {
                while (!cancel) std::this_thread::yield();
                ++cancelled;
            }
            v.state = Verdict::State::Winnable;
            v.text = "judged " + text;
            return v;
        };
    }
};

std::string fixture(const char* name) {
    std::ifstream in(std::string(TUMBIX_SOURCE_DIR "/tests/levels/maps/") + name);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(VerdictRunner, ANewVersionCancelsTheRunningJudgementAndOnlyTheNewestIsShown) {
    FakeJudge fake;
    VerdictRunner runner(fake.judge());
    runner.submit(1, "block");
    // while it searches, the newest version reads "searching" (with what the judge told so far)
    Verdict v = runner.latest();
    EXPECT_EQ(v.state, Verdict::State::Searching);
    EXPECT_EQ(v.text, "searching\u2026");
    EXPECT_FALSE(runner.waitFinished(0.05));
    runner.submit(2, "quick");
    ASSERT_TRUE(runner.waitFinished(10.0));
    v = runner.latest();
    EXPECT_EQ(v.revision, 2u);
    EXPECT_EQ(v.text, "judged quick");
    EXPECT_EQ(v.warnings, std::vector<std::string>{"seen quick"});
    EXPECT_EQ(fake.cancelled, 1);
}

TEST(VerdictRunner, DestroyingTheRunnerStopsARunningJudgement) {
    FakeJudge fake;
    {
        VerdictRunner runner(fake.judge());
        runner.submit(1, "block");
        while (runner.latest().warnings.empty()) std::this_thread::yield();
    }
    EXPECT_EQ(fake.cancelled, 1);
}

TEST(Judge, SmallLevelsGetTheCheckersVerdictAndTheLoadersWarnings) {
    const struct {
        const char* level;
        Verdict::State state;
        const char* text;
        std::vector<std::string> warnings;
    } cases[] = {
        {"run.xml", Verdict::State::Winnable, "winnable in 3 steps, 0 turns", {}},
        {"nogoal.xml", Verdict::State::CannotWin, "cannot be won: the level has no goal",
         {"ERROR: This level doesn't have a goal!"}},
        {"loop.xml", Verdict::State::CannotWin, "cannot be won: every line of play", {}},
    };
    const std::atomic<bool> go{false};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        int progressCalls = 0;
        ConsoleCapture mine;
        const Verdict v = judgeLevelText(fixture(c.level), go, [&](const Verdict&) { ++progressCalls; });
        EXPECT_EQ(v.state, c.state);
        EXPECT_EQ(v.text.rfind(c.text, 0), 0u) << v.text;
        EXPECT_EQ(v.warnings, c.warnings);
        EXPECT_EQ(progressCalls, 1);
        EXPECT_TRUE(mine.lines().empty());
    }
    const Verdict refused = judgeLevelText("<map/>", go, [](const Verdict&) {});
    EXPECT_EQ(refused.state, Verdict::State::NotLoaded);
    EXPECT_EQ(refused.warnings.back(), "Loading file level failed!");
    const std::atomic<bool> stop{true};
    EXPECT_EQ(judgeLevelText(fixture("loop.xml"), stop, [](const Verdict&) {}).state, Verdict::State::Undecided);
}

TEST(Judge, OnTheWorkerItsLinesNeverMixWithThoseOfTheThreadThatPrints) {
    VerdictRunner runner(judgeLevelText);
    const std::string level = fixture("turns.xml");
    std::vector<std::string> once;
    {
        ConsoleCapture mine;
        loadLevelFromText("level", level);
        once = mine.lines();
    }
    ConsoleCapture mine;
    for (int i = 0; i < 20; ++i) {
        runner.submit(i, level);  // each cancels the last
        loadLevelFromText("level", level);
    }
    ASSERT_TRUE(runner.waitFinished(60.0));
    EXPECT_EQ(runner.latest().revision, 19u);
    EXPECT_EQ(runner.latest().state, Verdict::State::Winnable);
    const std::vector<std::string> lines = mine.lines();
    ASSERT_EQ(lines.size(), 20 * once.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], once[i % once.size()]);
}
