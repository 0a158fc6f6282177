#pragma once
// One run of play: the current level, the avatar, the step clock that drives
// every move, the collectable tally and the pause flag, and the rules that
// turn a finished step into the next one. gameStep is a deterministic
// function of the state and dt, so tests and the level checker drive it.

#include <memory>

#include "motion/math.h"
#include "motion/player.h"
#include "world/level.h"

class Game {
public:
    // With Resources::None nothing touches GL, files other than levels, or sound.
    explicit Game(Resources resources = Resources::Load);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    unsigned shadowFramebuffer = 0;
    unsigned shadowProgram = 0;
    Player player;
    double rollSpeed = 2.0;   // step progress per second
    bool paused = false;
    std::unique_ptr<Level> level;
    int collected = 0;        // collectables taken in this attempt
    Block* currentBlock = nullptr;  // the block under the avatar, in level
    double stepProgress = 0.0;
    double spinClock = 0.0;   // seconds of game steps; never reset
    Mat4 spinMatrix;          // spin of the collectables
    unsigned blockTexture = 0;

    // Loads "maps/" + name and makes it current; false (keeping the current
    // level) when it cannot be loaded.
    bool switchLevel(const char* name);
    // Makes an already loaded level current, replacing the one there was.
    void setLevel(std::unique_ptr<Level> next);
    // Advances the clock by dt seconds: spins, rolls, picks up, ends a step.
    void gameStep(double dt);
    // Space: start, restart after death, next level after a win. False when
    // it has no effect in the current state.
    bool onSpace();
    // A and F: turn the current block and the avatar with it. False when refused.
    bool rotateLeft();
    bool rotateRight();
    // Back to the start of the attempt on the current level.
    void resetAttempt();
    // Starts an attempt from the waiting state.
    void startRolling();
    // Reads the edge kind ahead and starts a fall or goal entry it calls for.
    void evaluateFace();

private:
    bool turnBlock(bool left);
    void pickUp();
    void completeStep();
};

// The one game, created at start-up.
extern Game* game;
