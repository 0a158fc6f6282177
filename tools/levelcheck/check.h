#pragma once
// The level checker's reports: load a level file with the game's loader,
// show what the game would print about it, prove it winnable, and follow
// the chain of "next" levels.

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "solver/solver.h"

class Game;
struct Level;

struct CheckOptions {
    bool verbose = false;  // every loader line and every step, not only the diagnostics and turns
    bool stats = false;    // the level's figures after the verdict (and a table after a chain)
    SolveLimits limits;
};

// Returns whether a console line of the loader is a warning or an error.
bool isDiagnostic(const std::string& line);

// Loads a level file the way the game does ("maps/" + name, from the folder
// above the file's "maps" folder). Returns null when it cannot be loaded;
// `lines` receives everything the loader printed.
std::unique_ptr<Level> loadLevelFile(const std::string& path, std::vector<std::string>& lines);

// What one level check found.
struct LevelVerdict {
    bool loaded = false;
    std::string next;  // the "next" attribute; empty when not loaded
    SolveResult result;     // the shortest win (fewest steps, then fewest turns)
    SolveResult fewestTurns;  // the win with fewest turns, when the shortest needs any
    LevelStats stats;         // all figures of the search
    bool ok() const { return loaded && result.won() && stats.personWinnable(); }
};

// Writes the figures of a level, one per line, indented.
void writeStats(const LevelStats& stats, std::ostream& out);
// Writes the designated line, each press with its window.
void writeDesignated(const LevelStats& stats, std::ostream& out);
// Share of the level's blocks the designated line stands on, in percent.
double visitedPercent(const LevelStats& stats);
// Writes the heading and one row of the campaign table.
void writeTableHead(std::ostream& out);
void writeTableRow(const std::string& name, const LevelStats& stats, std::ostream& out);

// Loads, reports and solves one level, writing the report to `out`.
LevelVerdict checkLevel(Game& game, const std::string& path, const CheckOptions& options, std::ostream& out);

// Checks every level from `startPath` along "next" until the chain comes
// back to the start. Returns false when a level cannot be won or the chain
// is broken (a next level that is missing or malformed, or a chain that runs
// into a loop without the start).
bool checkChain(Game& game, const std::string& startPath, const CheckOptions& options, std::ostream& out);
