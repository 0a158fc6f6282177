#pragma once
// Scenario helpers: a headless Game on the small levels of tests/levels,
// console capture, and stepping with explicit time steps.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/console.h"
#include "rules/game.h"

// Returns whether `lines` holds `text` as a whole line.
inline bool hasLine(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines)
        if (line == text) return true;
    return false;
}

// A headless Game (console captured) whose content root `directory` holds
// the levels it loads in maps/.
class HeadlessGame : public ::testing::Test {
protected:
    explicit HeadlessGame(const char* directory) : game(directory) {}

    ConsoleCapture console;
    Game game;
};

// Runs on the small scenario levels of tests/levels.
class GameScenario : public HeadlessGame {
protected:
    GameScenario() : HeadlessGame(TUMBIX_SOURCE_DIR "/tests/levels") {}

    // Switches to a level the way start-up does (after the constructor's reset).
    void load(const char* name) { ASSERT_TRUE(game.switchLevel(name)) << console.take().back(); console.take(); }
    // Takes the sound events of the last commands and step the way the
    // game's shell does: all of them, in order, into `heard`, and the pause
    // state of the rolling loop.
    void listen() {
        for (SoundEvent e : game.sounds) {
            heard.push_back(e);
            if (e == SoundEvent::RollingPaused || e == SoundEvent::RollingResumed)
                rollingPaused_ = e == SoundEvent::RollingPaused;
        }
        game.sounds.clear();
    }
    // Returns whether the rolling loop is paused (it starts paused).
    bool rollingPaused() {
        listen();
        return rollingPaused_;
    }
    // One game step of dt seconds, listening before and after.
    void step(double dt) {
        listen();
        game.gameStep(dt);
        listen();
    }
    // Advances by `steps` game steps of dt seconds.
    void run(double dt, int steps) {
        for (int i = 0; i < steps; ++i) step(dt);
    }
    // Advances in steps of dt until `done` holds or `limit` seconds passed; returns whether it held.
    template <typename Predicate>
    bool runUntil(double dt, double limit, Predicate done) {
        for (double t = 0.0; t < limit; t += dt) {
            if (done()) return true;
            step(dt);
        }
        return done();
    }
    int state() const { return game.player.state; }
    const Block& blockAt(int index) const { return *game.level->blocks[index]; }

    std::vector<SoundEvent> heard;

private:
    bool rollingPaused_ = true;
};
