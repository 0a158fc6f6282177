#include "levelcheck/check.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

#include "log/console.h"
#include "rules/game.h"
#include "world/level.h"
#include "world/level_file.h"
#include "world/light_view.h"

namespace fs = std::filesystem;

namespace {

// Writes one line per step of a win: the action and where the avatar stands
// when it is taken.
void writeTrace(Game& game, const std::vector<Action>& actions, std::ostream& out) {
    game.resetAttempt();
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const Block& b = *game.currentBlock;
        out << "  step " << i + 1 << ": " << actionKey(actions[i]) << "  on (" << b.x << "," << b.y << "," << b.z
            << ") " << faceWord(game.player.up) << " face, heading " << faceWord(game.player.forward) << "\n";
        ConsoleSilence quiet;
        playStep(game, actions[i]);
    }
}

}  // namespace

void writeDesignated(const LevelStats& stats, std::ostream& out) {
    const std::vector<Action>& actions = stats.designated.actions;
    out << "designated line: " << describe(stats.designated).substr(std::string("solved in ").size()) << "\n";
    char window[32];
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const bool start = i == 0;
        if (actions[i] == Action::None && !start) continue;
        const double w = i < stats.line.windows.size() ? stats.line.windows[i] : 0.0;
        if (start)
            std::snprintf(window, sizeof window, "no limit");
        else
            std::snprintf(window, sizeof window, "%.2f s", w);
        out << "  step " << i + 1 << ": " << (actions[i] == Action::None ? "space" : actionKey(actions[i]))
            << "  window " << window;
        if (!start && i < stats.line.times.size()) {
            std::snprintf(window, sizeof window, "%.2f s", stats.line.times[i]);
            out << "  at " << window;
        }
        out << "\n";
    }
}

void writeStats(const LevelStats& s, std::ostream& out) {
    char line[160];
    auto put = [&](const char* label, const std::string& value) { out << "  " << label << value << "\n"; };
    put("blocks:           ", std::to_string(s.blocks));
    put("heights:          ", std::to_string(s.heights));
    put("reachable states: ", std::to_string(s.states));
    if (!s.won()) return;
    put("shortest win:     ", std::to_string(s.shortest.actions.size()) + " steps, " + std::to_string(s.shortest.turns) +
                                  (s.shortest.turns == 1 ? " turn" : " turns"));
    put("fewest turns:     ", std::to_string(s.fewestTurns.turns) + " (in " +
                                  std::to_string(s.fewestTurns.actions.size()) + " steps)");
    std::snprintf(line, sizeof line, "%zu states (%.2f)", s.trapStates, s.trapShare());
    put("traps:            ", line);
    put("turning blocks:   ", std::to_string(s.turningBlocks));
    if (!s.personWinnable()) {
        put("designated:       ", "not winnable by a person (every win needs a press with a window under 0.25 s)");
    } else {
        const LineFigures& l = s.line;
        put("designated:       ", std::to_string(l.steps) + " steps, " + std::to_string(l.turns) +
                                      (l.turns == 1 ? " turn" : " turns"));
        std::snprintf(line, sizeof line, "%d of %d (%.0f %%)", l.blocksVisited, s.blocks, visitedPercent(s));
        put("blocks visited:   ", line);
        put("heights visited:  ", std::to_string(l.heightsVisited));
        std::snprintf(line, sizeof line, "%.2f s", l.narrowest);
        put("narrowest window: ", l.hasPress() ? line : "none");
        put("ideas:            ", ideaList(l.ideas));
    }
    put("won without turn: ", s.winsWithoutTurns() ? "yes" : "no");
    std::snprintf(line, sizeof line, "%.1f", difficultyScore(s));
    put("score:            ", line);
    std::snprintf(line, sizeof line, "%.2f s", s.seconds);
    put("search time:      ", line);
}

double visitedPercent(const LevelStats& s) {
    return s.blocks ? 100.0 * s.line.blocksVisited / s.blocks : 0.0;
}

void writeTableHead(std::ostream& out) {
    out << "level          blocks heights steps turns traps  states turning no-turn  score visited hvis "
           "dsteps dturns window ideas\n";
}

void writeTableRow(const std::string& name, const LevelStats& s, std::ostream& out) {
    char line[200];
    std::snprintf(line, sizeof line, "%-14s %6d %7d %5zu %5d %5.2f %7zu %7d %7s %6.1f", name.c_str(), s.blocks,
                  s.heights, s.shortest.actions.size(), s.fewestTurns.turns, s.trapShare(), s.states, s.turningBlocks,
                  s.winsWithoutTurns() ? "yes" : "no", difficultyScore(s));
    out << line;
    if (!s.personWinnable()) {
        out << "       -    -      -      -      - not-winnable-by-a-person\n";
        return;
    }
    std::string ideas = ideaList(s.line.ideas);
    for (std::size_t at = ideas.find(", "); at != std::string::npos; at = ideas.find(", ")) ideas.replace(at, 2, ",");
    char window[16] = "  none";
    if (s.line.hasPress()) std::snprintf(window, sizeof window, "%6.2f", s.line.narrowest);
    std::snprintf(line, sizeof line, " %6.0f%% %4d %6d %6d %s %s\n", visitedPercent(s), s.line.heightsVisited,
                  s.line.steps, s.line.turns, window, ideas.c_str());
    out << line;
}

bool isDiagnostic(const std::string& line) {
    for (const char* start : {"ERROR", "WARNING", "WARNUNG", "Loading file"})
        if (line.rfind(start, 0) == 0) return true;
    return false;
}

std::unique_ptr<Level> loadLevelFile(const std::string& path, std::vector<std::string>& lines) {
    const fs::path file = fs::absolute(path).lexically_normal();
    const fs::path maps = file.parent_path();
    if (maps.filename() != "maps") {
        lines = {"ERROR: " + path + " is not in a folder named maps (the game loads maps/<name>)"};
        return nullptr;
    }
    ConsoleCapture capture;
    std::unique_ptr<Level> level = loadLevel(maps.parent_path(), file.filename().string().c_str());
    lines = capture.lines();
    return level;
}

namespace {

// Writes the warning about blocks outside the light's view, if any.
void writeLightReach(const Level& level, std::ostream& out) {
    const std::string warning = lightViewWarning(level);
    if (!warning.empty()) out << warning << "\n";
}

}  // namespace

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
    verdict.stats = analyse(game, options.limits);
    verdict.result = verdict.stats.shortest;
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
        verdict.fewestTurns = verdict.stats.fewestTurns;
        out << "fewest turns: " << describe(verdict.fewestTurns) << "\n";
    }
    if (verdict.result.won() && !verdict.stats.personWinnable())
        out << "not winnable by a person: every win needs a press with a window under 0.25 s\n";
    if (options.verbose && verdict.stats.personWinnable()) writeDesignated(verdict.stats, out);
    if (options.stats) {
        writeStats(verdict.stats, out);
        writeLightReach(*game.level, out);
    }
    return verdict;
}

bool checkChain(Game& game, const std::string& startPath, const CheckOptions& options, std::ostream& out) {
    const fs::path dir = fs::path(startPath).parent_path();
    // levels are the same when their files are: "./a.xml", "a.xml" and a link to it alike
    const auto identity = [](const fs::path& file) {
        std::error_code error;
        const fs::path resolved = fs::weakly_canonical(file, error);
        return error ? fs::absolute(file).lexically_normal() : resolved;
    };
    const fs::path startFile = identity(startPath);
    std::set<fs::path> met;
    std::vector<std::string> order;
    std::vector<LevelStats> figures;
    bool allWon = true;
    std::string name = fs::path(startPath).filename().string();
    fs::path file = startPath;
    while (true) {
        met.insert(identity(file));
        order.push_back(name);
        const LevelVerdict verdict = checkLevel(game, file.string(), options, out);
        allWon = allWon && verdict.ok();
        figures.push_back(verdict.stats);
        if (!verdict.loaded) {
            if (order.size() > 1)
                out << "broken chain: " << order[order.size() - 2] << " names " << name
                    << ", which cannot be loaded\n";
            return false;
        }
        if (!isPlainLevelName(verdict.next)) {
            out << "broken chain: " << name << " names " << verdict.next
                << ", which the game refuses (not a plain file name in maps/)\n";
            return false;
        }
        const fs::path nextFile = dir / verdict.next;
        if (identity(nextFile) == startFile) break;
        if (met.count(identity(nextFile))) {
            out << "broken chain: " << name << " leads back to " << verdict.next << ", never to " << order.front()
                << "\n";
            return false;
        }
        name = verdict.next;
        file = nextFile;
    }
    out << "chain of " << order.size() << " levels:";
    for (const std::string& n : order) out << " " << n << " ->";
    out << " " << order.front() << "\n";
    if (options.stats) {
        writeTableHead(out);
        for (std::size_t i = 0; i < order.size(); ++i) writeTableRow(order[i], figures[i], out);
    }
    return allWon;
}
