#pragma once
// Scenario helpers: a headless Game on the small levels of tests/levels,
// console capture, and stepping with explicit time steps.

#include <gtest/gtest.h>
#include <unistd.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/console_capture.h"
#include "app/game.h"
#include "platform/settings.h"

// Returns whether `lines` holds `text` as a whole line.
inline bool hasLine(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines)
        if (line == text) return true;
    return false;
}

// A headless Game (no GL buffers, console captured) running in `directory`,
// whose maps/ holds the levels it loads.
class HeadlessGame : public ::testing::Test {
protected:
    explicit HeadlessGame(const char* directory) : directory_(directory) {}
    void SetUp() override {
        char buffer[4096];
        ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
        oldDirectory_ = buffer;
        ASSERT_EQ(chdir(directory_), 0);
        vboSupported = false;
    }
    void TearDown() override { EXPECT_EQ(chdir(oldDirectory_.c_str()), 0); }

    ConsoleCapture console;
    Game game{Resources::None};

private:
    const char* directory_;
    std::string oldDirectory_;
};

// Runs on the small scenario levels of tests/levels.
class GameScenario : public HeadlessGame {
protected:
    GameScenario() : HeadlessGame(TUMBIX_SOURCE_DIR "/tests/levels") {}

    // Switches to a level the way start-up does (after the constructor's reset).
    void load(const char* name) { ASSERT_TRUE(game.switchLevel(name)) << console.take().back(); console.take(); }
    // Advances by `steps` game steps of dt seconds.
    void run(double dt, int steps) {
        for (int i = 0; i < steps; ++i) game.gameStep(dt);
    }
    // Advances in steps of dt until `done` holds or `limit` seconds passed; returns whether it held.
    template <typename Predicate>
    bool runUntil(double dt, double limit, Predicate done) {
        for (double t = 0.0; t < limit; t += dt) {
            if (done()) return true;
            game.gameStep(dt);
        }
        return done();
    }
    int state() const { return game.player.state; }
    const Block& blockAt(int index) const { return *game.level->blocks[index]; }
};
