// levelcheck: proves level files winnable with the game's own rules.
//   levelcheck [--verbose] [--stats] [--chain] [--max-states N] FILE...
// Prints what the game's loader says about each file (warnings and errors),
// then the shortest win as the steps at which to press A or F, or why the
// level cannot be won. --stats adds the level's figures (reachable states,
// trap share, turning blocks, score; a table after a chain). --chain
// follows "next" from each FILE until the chain returns to it. Exit status 1 when a level cannot be won or a chain is
// broken, 2 on a usage error.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "levelcheck/check.h"
#include "rules/game.h"

namespace {

int usage() {
    std::cerr << "usage: levelcheck [--verbose] [--stats] [--chain] [--max-states N] LEVEL.xml...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    CheckOptions options;
    bool chain = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--chain") == 0) {
            chain = true;
        } else if (std::strcmp(argv[i], "--stats") == 0) {
            options.stats = true;
        } else if (std::strcmp(argv[i], "--verbose") == 0) {
            options.verbose = true;
        } else if (std::strcmp(argv[i], "--max-states") == 0 && i + 1 < argc) {
            const long n = std::atol(argv[++i]);
            if (n <= 0) return usage();
            options.limits.maxStates = static_cast<std::size_t>(n);
        } else if (argv[i][0] == '-') {
            return usage();
        } else {
            files.emplace_back(argv[i]);
        }
    }
    if (files.empty()) return usage();

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
