#pragma once
// One run of play: the current level, the avatar, the step clock that drives
// every move, the collectable tally and the pause flag, and the rules that
// turn a finished step into the next one. gameStep is a deterministic
// function of the state and dt, so tests and the level checker drive it.
// The rules touch no GL, window, camera or sound: what the player should hear
// is recorded in `sounds` for the game's shell to play, what the view should
// follow in `views` and `changedBlocks`.

#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "math/math.h"
#include "motion/player.h"
#include "rules/sound_event.h"
#include "rules/view_event.h"
#include "world/level.h"

class Game {
public:
    // Levels are read from "maps/" under `contentRoot` (empty: the working directory).
    explicit Game(std::filesystem::path contentRoot = {});
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    std::filesystem::path contentRoot;
    Player player;
    double rollSpeed = 2.0;   // step progress per second
    bool paused = false;
    std::unique_ptr<Level> level;
    int collected = 0;        // collectables taken in this attempt
    Block* currentBlock = nullptr;  // the block under the avatar, in level; its position is the avatar's
    double stepProgress = 0.0;
    double spinClock = 0.0;   // seconds of game steps; never reset
    Mat4 spinMatrix;          // spin of the collectables
    // What the last commands and step set off, in order; every gameStep
    // starts a fresh list, so whoever plays them takes them after each
    // command and each step.
    std::vector<SoundEvent> sounds;
    // The same for the view: resets and level switches, and the indices of
    // the blocks that look different (turned, taken from, goal opened or
    // shut, restored). Level switches name no blocks: everything is new.
    std::vector<ViewEvent> views;
    std::vector<int> changedBlocks;
    // Forgets the recorded events; every gameStep starts with this.
    void clearEvents();

    // The state of play as a value: everything the rules and the avatar
    // change while playing the current level, so that restoring it into a
    // game holding the same level (freshly loaded or played on) plays on
    // alike. Settings (rollSpeed, contentRoot), the level's fixed data and
    // the recorded events are not part of it.
    struct State {
        Player player;
        bool paused = false;
        int collected = 0;
        int block = -1;  // index of currentBlock in the level, -1 without a level
        double stepProgress = 0.0;
        double spinClock = 0.0;
        Mat4 spinMatrix;
        // The blocks not at rest, in ascending index; all others stand as loaded.
        std::vector<std::pair<int, BlockState>> blocks;
    };
    // Returns the state of play.
    State state() const;
    // Makes `s`, taken from a game on the same level, the state of play.
    void restore(const State& s);

    // Loads "maps/" + name under the content root and makes it current;
    // false (keeping the current level) when it cannot be loaded.
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
    // P: stops or resumes the attempt (and the rolling sound with it).
    void setPaused(bool pause);
    // Back to the start of the attempt on the current level.
    void resetAttempt();
    // Starts an attempt from the waiting state.
    void startRolling();
    // Reads the edge kind ahead and starts a fall or goal entry it calls for.
    void evaluateFace();

private:
    bool refuse();
    bool turnBlock(bool left);
    // Records that `b` looks different, once per list.
    void noteLooks(const Block& b);
    // The same, and that `b` may no longer stand as loaded.
    void noteChanged(const Block& b);
    // Starts the list of moved blocks afresh after the level's reset: the
    // goal of a level without collectables stands open from the start.
    void forgetMoved();
    // Brings `b` back to its loaded state, if it stands otherwise.
    void restoreLoaded(Block& b);

    // The blocks that may not stand as loaded, in ascending index: every
    // block play or a restore changed since the level's last reset (blocks
    // change through the commands, steps and restores alone). state() and
    // restore() look at these and not at every block of the level.
    std::vector<int> moved_;
    std::vector<int> movedBefore_;  // restore()'s copy of moved_ as it found it
    // Returns the position of the block under the avatar (the origin without a level).
    Vec3 avatarCell() const;
    void applyOutcome(const StepOutcome& outcome);
    void pickUp();
    void completeStep();
};
