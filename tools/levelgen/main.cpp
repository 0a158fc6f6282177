// levelgen: generates a level the solver proves winnable.
//   levelgen --seed N [--blocks A..B] [--shape rows|decks|towers|stairs|
//            bridges|rings|cubes|wraps|mixed] [--collectables A..B]
//            [--holes A..B] [--min-turns N] [--max-turns N] [--min-steps N]
//            [--max-steps N] [--min-heights N] [--min-trap-share F]
//            [--needs-turn] [--verbose] [--tries N] [--rounds N] [--max-states N] [--title TEXT]
//            [--next NAME] [--from LEVEL.xml] [-o FILE]
// --from starts from a level file (in a maps folder) instead of new
// structures and changes only its decals. The same options give the same file. Writes the level (to FILE, or to
// standard output) and prints its figures; exit status 1 when no candidate
// met the constraints, 2 on a usage error.
#include <climits>
#include <iostream>
#include <string>

#include "files/safe_save.h"
#include "levelcheck/check.h"
#include "levelcheck/options.h"
#include "levelgen/generate.h"
#include "rules/game.h"
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

int main(int argc, char** argv) {
    GenerateOptions o;
    std::string outFile;
    std::string fromError;
    const std::vector<Option> table = {
        numberOption<std::uint64_t>("--seed", "the random seed (the same options give the same file)", o.seed, 0,
                                    UINT64_MAX),
        rangeOption("--blocks", "blocks of the structure (default 10..20)", o.blocks, 2),
        textOption("--shape", "NAME", "rows, decks, towers, stairs, bridges, rings, cubes, wraps or mixed",
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
        textOption("-o", "FILE", "write the level to FILE (safely replacing it) instead of standard output",
                   [&outFile](std::string_view text) {
                       outFile = text;
                       return std::string();
                   }),
    };
    const std::string usage = "levelgen --seed N [options]";
    const CommandLine line = parseCommandLine(argc, argv, table);
    if (line.status == CommandLine::Status::Help) {
        std::cout << optionHelp(usage, table);
        return 0;
    }
    if (line.status == CommandLine::Status::Refused || !line.operands.empty()) {
        std::cerr << "levelgen: "
                  << (line.operands.empty() ? line.refusal : "unexpected argument " + line.operands.front())
                  << "\nusage: " << usage << " (--help lists the options)\n";
        return 2;
    }
    if (o.title.empty())
        o.title = std::string("generated by levelgen, seed ") + std::to_string(o.seed) + ", shape " + shapeName(o.shape);

    Game game;
    std::string why;
    const std::optional<Generated> level = generate(game, o, &why);
    if (!level) {
        std::cerr << "levelgen: no level met the constraints in " << o.tries << " tries (last: " << why << ")\n";
        return 1;
    }
    const std::string xml = writeLevelText(level->text);
    std::ostream* report = &std::cout;
    if (outFile.empty()) {
        std::cout << xml;
        report = &std::cerr;
    } else {
        const SaveResult saved = saveFileSafely(outFile, xml);
        if (!saved.ok()) {
            std::cerr << "levelgen: " << saved.error << "\n";
            return 1;
        }
    }
    *report << "candidate " << level->attempt << ": " << describe(level->stats.shortest) << "\n";
    writeStats(level->stats, *report);
    return 0;
}
