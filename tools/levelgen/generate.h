#pragma once
// The level generator: builds candidate structures, places black holes,
// collectables and the goal (where the search shows they take turns to
// reach), and keeps the first candidate the solver proves winnable within
// the constraints.

#include <cstdint>
#include <optional>
#include <string>

#include "solver/solver.h"
#include "levelgen/structure.h"

class Game;

struct Range {
    int lo = 0, hi = 0;
};
// Reads "A..B" or "N". False on anything else.
bool parseRange(const std::string& text, Range& range);

struct GenerateOptions {
    std::uint64_t seed = 1;
    Range blocks{10, 20};
    Range collectables{1, 3};
    Range holes{0, 3};
    Shape shape = Shape::Mixed;
    int minTurns = 0;          // fewest turns to win at least this
    int maxTurns = 1000;
    int minSteps = 0;          // shortest win in minSteps..maxSteps
    int maxSteps = 100000;
    int minHeights = 1;
    double minTrapShare = 0.0;
    bool needsTurn = false;    // no win without turning
    // What the designated line must do (levelcheck --stats): stand on this
    // share of the blocks, on this many heights, with every press at least
    // this wide (seconds), using these ideas.
    double minVisitedShare = 0.0;
    int minHeightsVisited = 1;
    double minWindow = kPersonWindow;
    IdeaSet ideas = 0;
    int tries = 300;           // candidate structures
    int rounds = 40;           // changes of the decals tried on each
    std::size_t maxStates = 400000;
    std::string title;         // the comment naming the level
    std::string next = "level0.xml";
    bool verbose = false;      // one line per candidate on standard error
    // When set, every candidate is this level (the first as it is, the
    // others after a few random changes of its decals) instead of a new
    // structure: improves a level made by hand.
    std::optional<LevelText> start;
};

struct Generated {
    LevelText text;
    LevelStats stats;
    int attempt = 0;  // which candidate (from 1) was kept
};

// Returns the first candidate meeting the options, or nothing after
// options.tries candidates. The same options give the same level.
std::optional<Generated> generate(Game& game, const GenerateOptions& options, std::string* why = nullptr);

// Returns why a measured level misses the options, or empty when it meets them.
std::string missedConstraint(const LevelStats& stats, const GenerateOptions& options);
