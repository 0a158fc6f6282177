// levelcheck: proves level files winnable with the game's own rules.
//   levelcheck [--verbose] [--stats] [--chain] [--max-states N] FILE...   (--help)
// Prints what the game's loader says about each file (warnings and errors),
// then the shortest win as the steps at which to press A or F, or why the
// level cannot be won. --stats adds the level's figures (reachable states,
// trap share, turning blocks, score; a table after a chain). --chain
// follows "next" from each FILE until the chain returns to it. Exit status 1 when a level cannot be won or a chain is
// broken, 2 on a usage error.
#include <iostream>
#include <string>
#include <vector>

#include "levelcheck/check.h"
#include "levelcheck/options.h"
#include "rules/game.h"

int main(int argc, char** argv) {
    CheckOptions options;
    bool chain = false;
    const std::vector<Option> optionTable = {
        flagOption("--verbose", "every loader line and every step of the win", options.verbose),
        flagOption("--stats", "the level's figures (a table after a chain or several files)", options.stats),
        flagOption("--chain", "follow \"next\" from each file until the chain returns to it", chain),
        numberOption<std::size_t>("--max-states", "states searched before giving up (default 1000000)",
                                  options.limits.maxStates, 1, 1000000000),
    };
    const std::string usage = "levelcheck [options] LEVEL.xml...";
    const CommandLine line = parseCommandLine(argc, argv, optionTable);
    if (line.status == CommandLine::Status::Help) {
        std::cout << optionHelp(usage, optionTable);
        return 0;
    }
    if (line.status == CommandLine::Status::Refused || line.operands.empty()) {
        std::cerr << "levelcheck: " << (line.operands.empty() && line.refusal.empty() ? "no level file given" : line.refusal)
                  << "\nusage: " << usage << " (--help lists the options)\n";
        return 2;
    }
    const std::vector<std::string>& files = line.operands;

    Game game;
    bool ok = true;
    std::vector<std::pair<std::string, LevelStats>> table;
    for (const std::string& file : files) {
        if (chain) {
            ok = checkChain(game, file, options, std::cout) && ok;
        } else {
            const LevelVerdict verdict = checkLevel(game, file, options, std::cout);
            ok = verdict.ok() && ok;
            table.emplace_back(file.substr(file.find_last_of('/') + 1), verdict.stats);
        }
    }
    if (options.stats && table.size() > 1) {
        writeTableHead(std::cout);
        for (const auto& [name, stats] : table) writeTableRow(name, stats, std::cout);
    }
    std::cout << (ok ? "all levels can be won" : "FAILED") << std::endl;
    return ok ? 0 : 1;
}
