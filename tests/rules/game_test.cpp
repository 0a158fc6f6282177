// Scenario tests: a headless game on small levels, driven by commands and
// explicit time steps.
#include "rules/game.h"

#include <gtest/gtest.h>

#include "rules/game_test_util.h"

using Scenario = GameScenario;

TEST_F(Scenario, StartUpLeavesTheRollingSoundPausedUntilTheFirstSpace) {
    load("run.xml");
    EXPECT_EQ(state(), PlayerState::Waiting);
    EXPECT_TRUE(rollingPaused());
    EXPECT_EQ(game.currentBlock, game.level->blocks[game.level->rootIndex]);
    game.resetAttempt();  // R: the face is evaluated and the sound resumes
    EXPECT_FALSE(rollingPaused());
    EXPECT_EQ(game.player.moveKind, EdgeKind::Flat);
}

TEST_F(Scenario, StraightRunCollectsOpensTheGoalAndLoadsTheNextLevel) {
    load("run.xml");
    ASSERT_EQ(game.level->collectableCount, 1);
    ASSERT_TRUE(game.onSpace());
    EXPECT_EQ(state(), PlayerState::Rolling);
    EXPECT_FALSE(rollingPaused());

    ASSERT_TRUE(runUntil(0.05, 2.0, [&] { return game.currentBlock == &blockAt(1); }));
    EXPECT_EQ(game.currentBlock->z, -1);
    EXPECT_TRUE(console.take().empty());
    ASSERT_TRUE(runUntil(0.05, 2.0, [&] { return game.collected == 1; }));
    EXPECT_GE(game.stepProgress, 0.35);
    EXPECT_EQ(console.take(), std::vector<std::string>{"collected 1 of 1 collectables!"});
    EXPECT_EQ(int(blockAt(1).decals[Direction::Top]), Decal::Collected);
    EXPECT_TRUE(blockAt(2).goalActive);

    ASSERT_TRUE(runUntil(0.05, 2.0, [&] { return state() == PlayerState::EnteringGoal; }));
    EXPECT_EQ(game.currentBlock, &blockAt(2));
    EXPECT_TRUE(game.player.busy);
    EXPECT_FALSE(game.onSpace());
    ASSERT_TRUE(runUntil(0.05, 2.0, [&] { return state() == PlayerState::Finished; }));
    const double progress = game.stepProgress;
    run(0.05, 5);
    EXPECT_EQ(game.stepProgress, progress);  // the progress stands still once finished

    ASSERT_TRUE(game.onSpace());
    EXPECT_TRUE(hasLine(console.take(), "next level is missing.xml"));
    EXPECT_EQ(game.level->nextLevel, "missing.xml");
    EXPECT_EQ(state(), PlayerState::Waiting);
    EXPECT_EQ(game.collected, 0);
    EXPECT_EQ(game.stepProgress, 0.0);
}

TEST_F(Scenario, AFailedNextLevelReplaysTheCurrentOne) {
    load("second.xml");
    ASSERT_TRUE(game.onSpace());
    ASSERT_TRUE(runUntil(0.05, 5.0, [&] { return state() == PlayerState::Finished; }));
    EXPECT_EQ(game.collected, 1);
    const Level* before = game.level.get();
    console.take();
    ASSERT_TRUE(game.onSpace());
    const std::vector<std::string> lines = console.take();
    EXPECT_TRUE(hasLine(lines, "ERROR: Level loading failed"));
    EXPECT_EQ(game.level.get(), before);
    EXPECT_EQ(state(), PlayerState::Waiting);
    EXPECT_EQ(game.collected, 0);
    EXPECT_EQ(int(blockAt(0).decals[Direction::Top]), Decal::Collectable);
    EXPECT_FALSE(blockAt(1).goalActive);
}

// A "next" that climbs out of maps/ is refused like a missing level, though
// the file it names exists: the level is played again.
TEST_F(Scenario, ANextLevelOutsideTheMapsFolderIsRefusedAndTheLevelReplayed) {
    load("outside.xml");
    ASSERT_TRUE(game.onSpace());
    ASSERT_TRUE(runUntil(0.05, 5.0, [&] { return state() == PlayerState::Finished; }));
    const Level* before = game.level.get();
    console.take();
    ASSERT_TRUE(game.onSpace());
    const std::vector<std::string> lines = console.take();
    EXPECT_TRUE(hasLine(lines, "ERROR: level file name is not a plain name in maps/ (letters, digits, '.', '-', '_'): "
                               "../maps/run.xml"));
    EXPECT_TRUE(hasLine(lines, "ERROR: Level loading failed"));
    EXPECT_EQ(game.level.get(), before);
    EXPECT_EQ(state(), PlayerState::Waiting);
}

TEST_F(Scenario, ConvexRollOntoTheSideFace) {
    load("edge.xml");
    ASSERT_TRUE(game.onSpace());
    EXPECT_EQ(game.player.moveKind, EdgeKind::Convex);
    step(0.175);
    EXPECT_FALSE(game.player.busy);
    step(0.175);  // progress 0.7: the last part of a step towards a convex edge is busy
    EXPECT_TRUE(game.player.busy);
    EXPECT_FALSE(game.rotateLeft());
    step(0.175);  // 1.05: over the edge
    EXPECT_FALSE(game.player.busy);
    EXPECT_EQ(int(game.player.up), Direction::Front);
    EXPECT_EQ(int(game.player.forward), Direction::Bottom);
    EXPECT_EQ(game.currentBlock, &blockAt(0));
    EXPECT_NEAR(game.stepProgress, 1.05 - 1.0 - 0.47123894, 1e-9);
    EXPECT_EQ(state(), PlayerState::Rolling);
    EXPECT_EQ(game.player.moveKind, EdgeKind::Convex);  // front face towards the bottom
    // The next step rolls the quarter circle first, then crosses the new face.
    step(0.1);
    EXPECT_LT(game.stepProgress, 0.0);
    EXPECT_EQ(game.player.upVector.y > 0.0f, true);
}

TEST_F(Scenario, WallBounceReversesAndRestartsBehindTheMiddle) {
    load("wall.xml");
    ASSERT_TRUE(game.onSpace());
    EXPECT_EQ(game.player.moveKind, EdgeKind::Concave);
    step(0.1875);
    step(0.1875);  // 0.75: the bounce
    EXPECT_EQ(int(game.player.forward), Direction::Back);
    EXPECT_DOUBLE_EQ(game.player.bounceBlend, 0.25);
    EXPECT_DOUBLE_EQ(game.stepProgress, 0.75 - 1.0 + static_cast<double>(0.6f));
    EXPECT_EQ(game.currentBlock, &blockAt(0));
    EXPECT_EQ(state(), PlayerState::Rolling);
    EXPECT_EQ(game.player.moveKind, EdgeKind::Convex);  // nothing behind the root
    step(0.05);
    EXPECT_DOUBLE_EQ(game.player.bounceBlend, game.stepProgress);
}

TEST_F(Scenario, BlackHoleSinksKillsAndSpaceOrRRestarts) {
    load("hole.xml");
    ASSERT_TRUE(game.onSpace());
    ASSERT_TRUE(runUntil(0.05, 2.0, [&] { return state() == PlayerState::Sinking; }));
    EXPECT_EQ(game.currentBlock, &blockAt(1));
    EXPECT_TRUE(game.player.busy);
    EXPECT_FALSE(game.onSpace());
    ASSERT_TRUE(runUntil(0.05, 2.0, [&] { return state() == PlayerState::Dead; }));
    EXPECT_GE(game.stepProgress, 0.95);
    EXPECT_LT(game.stepProgress, 1.0);
    EXPECT_TRUE(rollingPaused());
    const double progress = game.stepProgress;
    run(0.05, 10);
    EXPECT_EQ(game.stepProgress, progress);
    EXPECT_EQ(state(), PlayerState::Dead);

    ASSERT_TRUE(game.onSpace());
    EXPECT_EQ(state(), PlayerState::Waiting);
    EXPECT_EQ(game.currentBlock, &blockAt(0));
    EXPECT_FALSE(rollingPaused());

    ASSERT_TRUE(game.onSpace());
    ASSERT_TRUE(runUntil(0.05, 3.0, [&] { return state() == PlayerState::Dead; }));
    game.resetAttempt();
    EXPECT_EQ(state(), PlayerState::Waiting);
    EXPECT_EQ(game.stepProgress, 0.0);
}

// One long frame may carry a fall or a goal entry past its end: the attempt
// must still end dead or finished, whatever the frame rate.
TEST_F(Scenario, DeathAndLevelCompletionAreReachedAtAnyFrameRate) {
    for (double dt : {0.004, 0.016, 0.1, 0.25, 0.26, 0.3, 0.4, 0.45, 0.55, 0.8, 2.0}) {
        SCOPED_TRACE(dt);
        load("hole.xml");
        game.resetAttempt();
        ASSERT_TRUE(game.onSpace());
        ASSERT_TRUE(runUntil(dt, 10.0, [&] { return state() == PlayerState::Dead; }));
        run(dt, 20);
        EXPECT_EQ(state(), PlayerState::Dead);

        load("run.xml");
        game.resetAttempt();
        ASSERT_TRUE(game.onSpace());
        ASSERT_TRUE(runUntil(dt, 10.0, [&] { return state() == PlayerState::Finished; }));
        run(dt, 20);
        EXPECT_EQ(state(), PlayerState::Finished);
        EXPECT_EQ(game.collected, 1);
        console.take();
    }
}

TEST_F(Scenario, AHugeTimeStepCompletesAtMostOneStep) {
    load("run.xml");
    ASSERT_TRUE(game.onSpace());
    step(100.0);
    EXPECT_EQ(game.currentBlock, &blockAt(1));
    EXPECT_DOUBLE_EQ(game.stepProgress, 199.0);
    EXPECT_EQ(state(), PlayerState::Rolling);
    step(100.0);
    EXPECT_EQ(game.currentBlock, &blockAt(2));
    EXPECT_EQ(game.collected, 1);
    EXPECT_EQ(state(), PlayerState::EnteringGoal);
    step(100.0);
    EXPECT_EQ(state(), PlayerState::Finished);
}

TEST_F(Scenario, LegalTurnAboutTheLinkAxisStartsTheAttempt) {
    load("run.xml");
    ASSERT_TRUE(game.rotateRight());  // from Waiting, without the space bar
    EXPECT_TRUE(console.take().empty());
    EXPECT_EQ(state(), PlayerState::Turning);
    EXPECT_TRUE(game.player.busy);
    EXPECT_EQ(int(game.player.up), Direction::Right);
    EXPECT_FLOAT_EQ(game.player.turnAmount, -1.0f);
    EXPECT_EQ(blockAt(0).rotationStep, -1);
    EXPECT_EQ(game.player.moveKind, EdgeKind::Flat);  // right face towards the front
    EXPECT_FALSE(game.rotateLeft());                  // busy

    step(0.001);  // the old pose: the block drawn turned back by 90 degrees
    const Vec4 upright = transform(game.player.turnRotation, {1.0f, 0.0f, 0.0f, 0.0f});
    EXPECT_NEAR(upright.y, 1.0f, 1e-2f);
    EXPECT_NEAR(game.player.upVector.y, 1.0f, 1e-2f);
    ASSERT_TRUE(runUntil(0.01, 1.0, [&] { return state() != PlayerState::Turning; }));
    EXPECT_EQ(state(), PlayerState::Rolling);
    EXPECT_EQ(game.currentBlock, &blockAt(1));
    step(0.01);  // rolling on: the avatar stands on the right face
    EXPECT_EQ(game.player.upVector, (Vec3{1.0f, 0.0f, 0.0f}));
    EXPECT_EQ(game.currentBlock->z, -1);
    EXPECT_FALSE(game.player.busy);
}

TEST_F(Scenario, TurnsRefusedOnTheWrongAxisWhenBusyOrPastHalfway) {
    load("edge.xml");  // a lone block: no link axis
    EXPECT_FALSE(game.rotateLeft());
    EXPECT_EQ(console.take(), std::vector<std::string>{"ERROR can't rotate along that axis"});
    EXPECT_EQ(state(), PlayerState::Waiting);

    load("run.xml");
    game.resetAttempt();
    ASSERT_TRUE(game.onSpace());
    step(0.3);  // 0.6
    EXPECT_FALSE(game.rotateRight());
    EXPECT_TRUE(console.take().empty());
    EXPECT_EQ(blockAt(0).rotationStep, 0);

    game.resetAttempt();
    ASSERT_TRUE(game.onSpace());
    step(0.25);  // exactly 0.5 is still allowed
    ASSERT_TRUE(game.rotateLeft());
    EXPECT_FLOAT_EQ(game.player.turnAmount, 0.5f);
    EXPECT_EQ(int(game.player.up), Direction::Left);
}

TEST_F(Scenario, PauseFreezesEverythingButTheCollectableSpin) {
    load("run.xml");
    ASSERT_TRUE(game.onSpace());
    step(0.1);
    game.paused = true;
    const double progress = game.stepProgress;
    const Mat4 cageSpin = game.player.cageSpin;
    const Mat4 spin = game.spinMatrix;
    step(0.1);
    EXPECT_EQ(game.stepProgress, progress);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(game.player.cageSpin[i], cageSpin[i]);
    EXPECT_NE(game.spinMatrix[5], spin[5]);
    const double clock = game.spinClock;
    game.resetAttempt();  // R clears the pause; the spin clock runs on
    EXPECT_FALSE(game.paused);
    EXPECT_EQ(game.spinClock, clock);
}

// A turn started while paused waits with the game: the avatar's pose, its
// up (the camera's) and the block's turn all stay at the turn's start, so
// the view does not roll until play resumes; then the turn plays as usual.
TEST_F(Scenario, ATurnWhilePausedKeepsThePoseAndTheViewAtItsStart) {
    load("run.xml");
    ASSERT_TRUE(game.onSpace());
    step(0.1);
    game.setPaused(true);
    const Vec3 up = game.player.upVector;
    const Mat4 orientation = game.player.orientation;
    for (const bool left : {true, false}) {
        ASSERT_TRUE(left ? game.rotateLeft() : game.rotateRight()) << left;
        for (int i = 0; i < 2; ++i, step(0.05)) {  // at the key and after a paused step
            EXPECT_NEAR(game.player.upVector.x, up.x, 1e-5f) << left;
            EXPECT_NEAR(game.player.upVector.y, up.y, 1e-5f) << left;
            EXPECT_NEAR(game.player.upVector.z, up.z, 1e-5f) << left;
            for (int k = 0; k < 16; ++k) EXPECT_NEAR(game.player.orientation[k], orientation[k], 1e-5f) << left << k;
            // the turn carries the block's new top back to where it was
            const Vec3 newUp = directionVector(game.player.up);
            const Vec4 top = transform(game.player.turnRotation, {newUp.x, newUp.y, newUp.z, 0.0f});
            EXPECT_NEAR(top.x, up.x, 1e-5f) << left;
            EXPECT_NEAR(top.y, up.y, 1e-5f) << left;
            EXPECT_NEAR(top.z, up.z, 1e-5f) << left;
        }
        game.setPaused(false);
        ASSERT_TRUE(runUntil(0.01, 2.0, [&] { return state() != PlayerState::Turning; }));
        step(0.01);
        const Vec3 turnedUp = directionVector(game.player.up);
        EXPECT_NEAR(game.player.upVector.x * turnedUp.x + game.player.upVector.y * turnedUp.y +
                        game.player.upVector.z * turnedUp.z,
                    1.0f, 1e-3f);
        // back to the start for the other sense
        game.resetAttempt();
        ASSERT_TRUE(game.onSpace());
        step(0.1);
        game.setPaused(true);
    }
}

TEST_F(Scenario, SpaceIsRefusedWhileMoving) {
    load("run.xml");
    ASSERT_TRUE(game.onSpace());
    EXPECT_FALSE(game.onSpace());
    game.resetAttempt();
    ASSERT_TRUE(game.rotateLeft());
    EXPECT_FALSE(game.onSpace());
}

TEST_F(Scenario, ALevelWithoutCollectablesOpensItsGoalOnArrival) {
    std::unique_ptr<Level> open = loadLevelFromText("open.xml", R"(<map next="run.xml"><level>
        <light x="0" y="5" z="0" />
        <block x="0" y="0" z="0" />
        <block x="0" y="0" z="-1"><goal face="top" /></block>
        </level></map>)");
    ASSERT_TRUE(open) << ::testing::PrintToString(console.take());
    game.setLevel(std::move(open));
    ASSERT_TRUE(game.level);
    EXPECT_TRUE(blockAt(1).goalActive);
    ASSERT_TRUE(game.onSpace());
    EXPECT_TRUE(runUntil(0.05, 5.0, [&] { return state() == PlayerState::Finished; }));
}
