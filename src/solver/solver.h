#pragma once
// Shortest way to win a level, found by running the game's own rules
// headless. The player's only choices are A, F or nothing, made at the start
// of each step. The search explores every world state met there (the avatar's
// place and every block's face contents) once, keeps the moves between them
// as a graph, and reads the shortest wins and the level's figures from it.

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "solver/designated.h"

class Game;

// What the player does at the start of one step.
enum class Action : char { None, Left, Right };  // nothing (space at the start), A, F

// Returns the key for an action: "-", "A" or "F".
const char* actionKey(Action a);

// How one step (or the whole replay) ended.
enum class StepEnd { Continues, Died, Won, Refused, Stuck };

// Frame time of play: 60 frames a second. Solutions are proven at this rate.
inline constexpr double kFrameTime = 1.0 / 60.0;
// Frame time of the search. What a step leads to does not depend on the frame
// time while a frame advances the step by less than 0.2 (a bounce then still
// restarts below the halfway mark, where turns are allowed); the search uses
// frames of 0.09 s (a step advance of 0.18) for speed, and every win it finds
// is replayed at 60 frames a second.
inline constexpr double kSearchFrameTime = 0.09;

// Presses the key of `action` at a decision point (Space when the avatar
// waits). Returns whether the game took it; a refused press changes nothing.
bool applyAction(Game& game, Action action);

// Restarts the attempt and plays `actions`, one per step, at frame time dt.
// Returns how the last step ended (Refused when a turn was not allowed).
StepEnd replay(Game& game, const std::vector<Action>& actions, double dt = kFrameTime);

// Plays one step from a decision point: performs `action`, then runs frames
// until the next step begins or the attempt ends.
StepEnd playStep(Game& game, Action action, double dt = kFrameTime);

// What the search minimises first: steps (then turns), or turns (then steps).
enum class SolveOrder { FewestSteps, FewestTurns };

struct SolveLimits {
    std::size_t maxStates = 1000000;  // distinct decision states before giving up
    SolveOrder order = SolveOrder::FewestSteps;
    // When set (from another thread), the search stops at the next state it
    // expands and reports Cancelled. Not owned; may be null.
    const std::atomic<bool>* cancel = nullptr;
};

struct SolveResult {
    enum class Outcome { Won, NoGoal, UnreachableCollectables, NoWayToWin, GaveUp, NoReplay, Cancelled };
    Outcome outcome = Outcome::NoWayToWin;
    std::vector<Action> actions;  // the cheapest win, one action per step
    int turns = 0;                // A and F presses in it
    std::size_t states = 0;       // distinct decision states reachable from the start
    std::size_t blackHoleEnds = 0;  // moves that end in a black hole
    std::size_t loopEnds = 0;       // moves that come back to a state already met, or never end
    std::vector<std::string> unreachable;  // "collectable on (x,y,z)" for each one never collected

    bool won() const { return outcome == Outcome::Won; }
};

// Searches the current level of `game` for its cheapest win in the given order. The game must
// hold a level; its console output is silenced while the search runs.
SolveResult solve(Game& game, const SolveLimits& limits = {});

// The figures of a level, all from one search.
struct LevelStats {
    SolveResult shortest;     // fewest steps, then fewest turns
    SolveResult fewestTurns;  // fewest turns, then fewest steps
    // The designated line: the shortest win (then fewest turns) whose every
    // press has a window of at least kPersonWindow; not won when there is none.
    SolveResult designated;
    LineFigures line;  // the designated line's figures
    std::size_t states = 0;      // decision states reachable from the start
    std::size_t trapStates = 0;  // reachable states from which the level can no longer be won
    int turningBlocks = 0;       // distinct blocks turned on the shortest win
    int blocks = 0;              // blocks of the level
    int heights = 0;             // distinct heights (y) of its blocks
    int collectables = 0;        // collectables of the level
    double seconds = 0.0;        // time the search took

    bool won() const { return shortest.won(); }
    // Whether a person can win it: it has a designated line.
    bool personWinnable() const { return designated.won() && line.won; }
    // Share of the reachable states that are traps, 0..1.
    double trapShare() const { return states ? static_cast<double>(trapStates) / states : 0.0; }
    // Whether some win needs no turn at all.
    bool winsWithoutTurns() const { return fewestTurns.won() && fewestTurns.turns == 0; }
};

// Explores the current level of `game` and measures it (limits.order is not used).
LevelStats analyse(Game& game, const SolveLimits& limits = {});

// Difficulty of a won level (0 for one that cannot be won):
//   steps + 8 * fewest turns + 4 * turning blocks + 30 * trap share + log2(states)
double difficultyScore(const LevelStats& stats);

// Returns the one-line verdict, e.g. "solved in 12 steps, 2 turns" or
// "cannot be won: the level has no goal".
std::string describe(const SolveResult& result);
// Returns the steps of a win as short lines: "step 1: space", "step 4: F".
std::vector<std::string> stepLines(const std::vector<Action>& actions);

// The fewest turns (then steps) after which the avatar first stands on each
// face, over every line of play from the start: one entry per (block, face)
// it can reach. Black holes and the goal end lines of play as in the game.
struct FaceReach {
    int block = 0;  // index in the level's blocks
    int face = 0;   // Direction
    int turns = 0;
    int steps = 0;
};
// Returns the faces reached, or nothing when there were more than
// limits.maxStates states.
std::vector<FaceReach> reachableFaces(Game& game, const SolveLimits& limits = {});
