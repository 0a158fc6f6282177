// What the player hears: each rule that sets off a sound records its event,
// in order, for the game's shell to play. One row per event: a scenario is
// prepared, then exactly the events of the part that follows are compared.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "rules/game.h"
#include "rules/game_test_util.h"

namespace {

using Events = std::vector<SoundEvent>;
using E = SoundEvent;

struct Row;

class SoundEvents : public GameScenario, public ::testing::WithParamInterface<Row> {
public:
    using GameScenario::game;
    using GameScenario::heard;
    using GameScenario::listen;
    using GameScenario::load;
    using GameScenario::runUntil;
    using GameScenario::state;
    using GameScenario::step;
};

struct Row {
    const char* what;
    const char* level;
    std::function<void(SoundEvents&)> prepare;
    std::function<void(SoundEvents&)> trigger;
    Events expected;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.what; }

void space(SoundEvents& s) { ASSERT_TRUE(s.game.onSpace()); }

const Row rows[] = {
    {"start", "run.xml", [](SoundEvents&) {}, space, {E::RollingResumed, E::RollingResumed}},
    {"turn ended", "run.xml", [](SoundEvents& s) { ASSERT_TRUE(s.game.rotateRight()); },
     [](SoundEvents& s) { s.runUntil(0.01, 2.0, [&] { return s.state() != PlayerState::Turning; }); },
     {E::TurnEnded, E::RollingResumed}},
    {"roll over a convex edge", "edge.xml", space,
     [](SoundEvents& s) {
         for (int i = 0; i < 3; ++i) s.step(0.175);  // the step ends at 1.05
     },
     {E::EdgeRolled, E::RollingResumed}},
    {"bounce", "wall.xml", space,
     [](SoundEvents& s) {
         s.step(0.1875);
         s.step(0.1875);  // 0.75
     },
     {E::Bounced, E::RollingResumed}},
    {"pickup", "run.xml",
     [](SoundEvents& s) {
         space(s);
         s.runUntil(0.05, 2.0, [&] { return s.game.currentBlock->index == 1; });
     },
     [](SoundEvents& s) { s.runUntil(0.05, 2.0, [&] { return s.game.collected == 1; }); }, {E::PickedUp}},
    {"vacuum past halfway of the fall", "hole.xml",
     [](SoundEvents& s) {
         space(s);
         s.runUntil(0.05, 2.0, [&] { return s.state() == PlayerState::Sinking; });
     },
     [](SoundEvents& s) { s.step(0.3); }, {E::Vacuum}},
    {"death pauses the rolling loop", "hole.xml",
     [](SoundEvents& s) {
         space(s);
         s.runUntil(0.05, 2.0, [&] { return s.state() == PlayerState::Sinking; });
     },
     [](SoundEvents& s) { s.step(0.5); }, {E::Vacuum, E::RollingPaused}},
    {"restart after death", "hole.xml",
     [](SoundEvents& s) {
         space(s);
         s.runUntil(0.05, 3.0, [&] { return s.state() == PlayerState::Dead; });
     },
     space, {E::RollingResumed}},
    {"fanfare", "run.xml",
     [](SoundEvents& s) {
         space(s);
         s.runUntil(0.05, 3.0, [&] { return s.state() == PlayerState::EnteringGoal; });
     },
     [](SoundEvents& s) { s.runUntil(0.05, 2.0, [&] { return s.state() == PlayerState::Finished; }); },
     {E::Fanfare}},
    {"refused space while rolling", "run.xml", space, [](SoundEvents& s) { EXPECT_FALSE(s.game.onSpace()); },
     {E::Refused}},
    {"refused turn while busy", "run.xml", [](SoundEvents& s) { ASSERT_TRUE(s.game.rotateLeft()); },
     [](SoundEvents& s) { EXPECT_FALSE(s.game.rotateRight()); }, {E::Refused}},
    {"pause", "run.xml", space, [](SoundEvents& s) { s.game.setPaused(true); }, {E::RollingPaused}},
    {"resume", "run.xml",
     [](SoundEvents& s) {
         space(s);
         s.game.setPaused(true);
     },
     [](SoundEvents& s) { s.game.setPaused(false); }, {E::RollingResumed}},
};

TEST_P(SoundEvents, EachRuleRecordsItsSoundInOrder) {
    const Row& row = GetParam();
    load(row.level);
    row.prepare(*this);
    listen();  // what the preparation set off is over
    heard.clear();
    row.trigger(*this);
    listen();
    EXPECT_EQ(heard, row.expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, SoundEvents, ::testing::ValuesIn(rows));

}  // namespace
