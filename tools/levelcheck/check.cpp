#include "levelcheck/check.h"

#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

#include "log/console.h"
#include "rules/game.h"
#include "world/level.h"

namespace fs = std::filesystem;

namespace {

// Returns the level-file word of a side.
const char* sideWord(Direction d) {
    static const char* const words[6] = {"right", "top", "back", "left", "bottom", "front"};
    return words[d];
}

// Writes one line per step of a win: the action and where the avatar stands
// when it is taken.
void writeTrace(Game& game, const std::vector<Action>& actions, std::ostream& out) {
    game.resetAttempt();
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const Block& b = *game.currentBlock;
        out << "  step " << i + 1 << ": " << actionKey(actions[i]) << "  on (" << b.x << "," << b.y << "," << b.z
            << ") " << sideWord(game.player.up) << " face, heading " << sideWord(game.player.forward) << "\n";
        ConsoleSilence quiet;
        playStep(game, actions[i]);
    }
}

}  // namespace

bool isDiagnostic(const std::string& line) {
    for (const char* start : {"ERROR", "WARNING", "WARNUNG", "Loading file"})
        if (line.rfind(start, 0) == 0) return true;
    return false;
}

std::unique_ptr<Level> loadLevelFile(const std::string& path, std::vector<std::string>& lines) {
    const fs::path file = fs::absolute(path).lexically_normal();
    const fs::path maps = file.parent_path();
    if (maps.filename() != "maps") {
        lines = {"levelcheck: " + path + " is not in a folder named maps (the game loads maps/<name>)"};
        return nullptr;
    }
    ConsoleCapture capture;
    std::unique_ptr<Level> level = loadLevel(maps.parent_path(), file.filename().string().c_str());
    lines = capture.lines();
    return level;
}

LevelVerdict checkLevel(Game& game, const std::string& path, const CheckOptions& options, std::ostream& out) {
    LevelVerdict verdict;
    out << "== " << fs::path(path).filename().string() << "\n";
    std::vector<std::string> lines;
    std::unique_ptr<Level> level = loadLevelFile(path, lines);
    for (const std::string& line : lines)
        if (options.verbose || isDiagnostic(line)) out << line << "\n";
    if (!level) {
        out << "cannot be loaded\n";
        return verdict;
    }
    verdict.loaded = true;
    verdict.next = level->nextLevel;
    game.setLevel(std::move(level));
    verdict.result = solve(game, options.limits);
    out << describe(verdict.result) << "\n";
    if (options.verbose) out << "searched " << verdict.result.states << " states\n";
    if (verdict.result.won()) {
        if (options.verbose) {
            writeTrace(game, verdict.result.actions, out);
        } else {
            for (const std::string& line : stepLines(verdict.result.actions)) out << "  " << line << "\n";
        }
    }
    if (verdict.result.won() && verdict.result.turns > 0) {
        SolveLimits fewest = options.limits;
        fewest.order = SolveOrder::FewestTurns;
        verdict.fewestTurns = solve(game, fewest);
        out << "fewest turns: " << describe(verdict.fewestTurns) << "\n";
    }
    return verdict;
}

bool checkChain(Game& game, const std::string& startPath, const CheckOptions& options, std::ostream& out) {
    const fs::path dir = fs::path(startPath).parent_path();
    const std::string start = fs::path(startPath).filename().string();
    std::set<std::string> met;
    std::vector<std::string> order;
    bool allWon = true;
    std::string name = start;
    while (true) {
        met.insert(name);
        order.push_back(name);
        const LevelVerdict verdict = checkLevel(game, (dir / name).string(), options, out);
        allWon = allWon && verdict.ok();
        if (!verdict.loaded) {
            if (order.size() > 1)
                out << "broken chain: " << order[order.size() - 2] << " names " << name
                    << ", which cannot be loaded\n";
            return false;
        }
        if (verdict.next == start) break;
        if (met.count(verdict.next)) {
            out << "broken chain: " << name << " leads back to " << verdict.next << ", never to " << start << "\n";
            return false;
        }
        name = verdict.next;
    }
    out << "chain of " << order.size() << " levels:";
    for (const std::string& n : order) out << " " << n << " ->";
    out << " " << start << "\n";
    return allWon;
}
