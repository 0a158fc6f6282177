#include "levelgen/command_line.h"

#include <climits>

#include "levelcheck/check.h"
#include "world/level.h"
#include "world/level_file.h"

namespace {

// A range option "A..B" (or "A") of whole numbers from `least` up.
Option rangeOption(std::string name, std::string help, Range& target, int least) {
    return textOption(std::move(name), "A..B", std::move(help), [&target, least](std::string_view text) {
        Range r;
        if (!parseRange(std::string(text), r)) return std::string(text) + " is not a range A..B of whole numbers";
        if (r.lo < least) return std::string(text) + " starts below " + std::to_string(least);
        target = r;
        return std::string();
    });
}

}  // namespace

std::vector<Option> levelgenOptions(GenerateOptions& o, std::string& outFile, std::string* description) {
    std::vector<Option> rows = {
        numberOption<std::uint64_t>("--seed", "the random seed (the same options give the same file)", o.seed, 0,
                                    UINT64_MAX),
        rangeOption("--blocks", "blocks of the structure (default 10..20)", o.blocks, 2),
        textOption("--shape", "NAME", "rows, decks, towers, stairs, bridges, rings, cubes, wraps, trails, spirals or mixed",
                   [&o](std::string_view text) {
                       return parseShape(std::string(text), o.shape) ? std::string()
                                                                     : "unknown shape " + std::string(text);
                   }),
        rangeOption("--collectables", "collectables (default 1..3)", o.collectables, 0),
        rangeOption("--holes", "black holes (default 0..3)", o.holes, 0),
        numberOption("--min-turns", "fewest turns a win needs, at least", o.minTurns, 0, INT_MAX),
        numberOption("--max-turns", "fewest turns a win needs, at most", o.maxTurns, 0, INT_MAX),
        numberOption("--min-steps", "steps of the shortest win, at least", o.minSteps, 0, INT_MAX),
        numberOption("--max-steps", "steps of the shortest win, at most", o.maxSteps, 0, INT_MAX),
        numberOption("--min-heights", "block heights the level spans, at least", o.minHeights, 0, INT_MAX),
        realOption("--min-trap-share", "share of reachable states that cannot win, at least", o.minTrapShare, 0.0,
                   1.0),
        flagOption("--needs-turn", "no win without turning a block", o.needsTurn),
        flagOption("--verbose", "one line per candidate on standard error", o.verbose),
        numberOption("--tries", "candidate structures (default 300)", o.tries, 1, 1000000),
        numberOption("--rounds", "changes of the decals tried on each (default 40)", o.rounds, 0, 1000000),
        numberOption<std::size_t>("--max-states", "states the solver searches per candidate (default 400000)",
                                  o.maxStates, 1, 1000000000),
        textOption("--title", "TEXT", "the comment naming the level",
                   [&o](std::string_view text) {
                       o.title = text;
                       return std::string();
                   }),
        textOption("--next", "NAME", "the next level's file name in maps/ (default level0.xml)",
                   [&o](std::string_view text) {
                       if (!isPlainLevelName(std::string(text)))
                           return std::string(text) + " is not a level name (1 to 26 letters, digits, '.', '-', '_')";
                       o.next = text;
                       return std::string();
                   }),
        textOption("--from", "LEVEL.xml", "start from this level (in a maps folder) and change only its decals",
                   [&o](std::string_view text) {
                       std::vector<std::string> lines;
                       std::unique_ptr<Level> level = loadLevelFile(std::string(text), lines);
                       if (!level) {
                           std::string why = "cannot load " + std::string(text);
                           for (const std::string& line : lines)
                               if (isDiagnostic(line) || line.rfind("levelcheck:", 0) == 0) why += "\n  " + line;
                           return why;
                       }
                       level->reset();
                       o.start = levelTextOf(*level);
                       return std::string();
                   }),
        // What the designated line (levelcheck --stats) must do.
        realOption("--min-visited-share", "share (0..1) of the blocks the designated line stands on, at least",
                   o.minVisitedShare, 0.0, 1.0),
        numberOption("--min-heights-visited", "heights of the blocks the designated line stands on, at least",
                     o.minHeightsVisited, 1, INT_MAX),
        realOption("--min-window", "seconds every press of the designated line has, at least (default 0.25)",
                   o.minWindow, kPersonWindow, 10.0),
        textOption("--ideas", "LIST", "ideas the designated line uses, comma-separated (listed below)",
                   [&o](std::string_view text) {
                       return parseIdeas(std::string(text), o.ideas) ? std::string()
                                                                     : "unknown idea in " + std::string(text);
                   }),
        textOption("-o", "FILE", "write the level to FILE (safely replacing it) instead of standard output",
                   [&outFile](std::string_view text) {
                       outFile = text;
                       return std::string();
                   }),
    };
    if (description)
        rows.push_back(textOption("--describe", "FILE", "write the level described in plain lines (- for standard input)",
                                  [description](std::string_view text) {
                                      *description = text;
                                      return std::string();
                                  }));
    return rows;
}
