#pragma once
// A seeded stand-in for a player at the keyboard, for tests that play long
// lines of a game.

#include <cstdint>

#include "rules/game.h"

// Presses keys the way a restless player does, from a seed: Space whenever
// the avatar waits or has died, now and then A, F, R or P (a calm one only
// Space). Never Space on a won level, which would load the next one.
class RestlessPlayer {
public:
    explicit RestlessPlayer(std::uint32_t seed, bool calm = false) : seed_(seed), calm_(calm) {}

    void press(Game& game) {
        seed_ = seed_ * 1664525u + 1013904223u;
        const std::uint32_t roll = calm_ ? 64 : (seed_ >> 8) % 64;
        const int state = game.player.state;
        if (state == PlayerState::Waiting || state == PlayerState::Dead)
            game.onSpace();
        else if (roll == 0)
            game.rotateLeft();
        else if (roll == 1)
            game.rotateRight();
        else if (roll == 2 && state != PlayerState::Finished)
            game.resetAttempt();
        else if (roll == 3 || (roll == 4 && game.paused))
            game.setPaused(!game.paused);
    }

private:
    std::uint32_t seed_;
    bool calm_;
};
