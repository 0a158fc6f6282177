// editor_bench: how fast the editor answers, on this machine.
//   editor_bench [LEVEL.xml...]   (default: every level of data/maps)
// For each level: the checker's search on its own, and the editor's verdict
// (load and search on the worker thread, from submit to the answer). Then
// the time the editor takes to rebuild the drawn level after an edit, for a
// deck of 150 blocks and for each level given.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "rules/game.h"
#include "editor/judge.h"
#include "log/console.h"
#include "solver/solver.h"
#include "world/level.h"
#include "world/level_writer.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Milliseconds to turn a document into the level the renderer draws (best of 20).
double rebuildMs(const LevelText& document) {
    double best = 1e9;
    for (int i = 0; i < 20; ++i) {
        ConsoleSilence quiet;
        const auto start = Clock::now();
        std::unique_ptr<Level> level = loadLevelFromText("level", writeLevelText(document));
        best = std::min(best, msSince(start));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);
    if (files.empty()) {
        for (const auto& e : fs::directory_iterator(TUMBIX_EDITOR_DATA_DIR "/maps"))
            if (e.path().extension() == ".xml") files.push_back(e.path());
        std::sort(files.begin(), files.end());
    }
    std::string slowest;
    double slowestMs = -1.0;
    std::printf("%-16s %6s %12s %12s %12s  %s\n", "level", "blocks", "search ms", "verdict ms", "rebuild ms",
                "verdict");
    for (const fs::path& file : files) {
        const std::string text = readFile(file);
        std::unique_ptr<Level> level;
        {
            ConsoleSilence quiet;
            level = loadLevelFromText("level", text);
        }
        if (!level) {
            std::printf("%-16s cannot be loaded\n", file.filename().c_str());
            continue;
        }
        const int blocks = static_cast<int>(level->blocks.size());
        const LevelText document = levelTextOf(*level);
        Game game;
        game.setLevel(std::move(level));
        auto start = Clock::now();
        {
            ConsoleSilence quiet;
            solve(game);
        }
        const double searchMs = msSince(start);
        if (searchMs > slowestMs) {
            slowestMs = searchMs;
            slowest = text;
        }
        VerdictRunner runner(judgeLevelText);
        start = Clock::now();
        runner.submit(1, text);
        runner.waitFinished(600.0);
        const double verdictMs = msSince(start);
        std::printf("%-16s %6d %12.1f %12.1f %12.3f  %s\n", file.filename().c_str(), blocks, searchMs, verdictMs,
                    rebuildMs(document), runner.latest().text.c_str());
    }
    if (!slowest.empty()) {
        // an edit in the middle of the slowest search: how soon the new version's verdict is there
        VerdictRunner runner(judgeLevelText);
        runner.submit(1, slowest);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        LevelText one;
        one.next = "level0.xml";
        one.blocks = {{0, 0, 0, {0, 4, 0, 0, 0, 0}}};
        const auto start = Clock::now();
        runner.submit(2, writeLevelText(one));
        runner.waitFinished(600.0);
        std::printf("an edit during the slowest search (%.0f ms): the new verdict after %.1f ms (%s)\n", slowestMs,
                    msSince(start), runner.latest().text.c_str());
    }
    LevelText deck;
    deck.next = "level0.xml";
    for (int x = 0; x < 10; ++x)
        for (int z = 0; z < 15; ++z) deck.blocks.push_back({x, 0, -z, {}});
    std::printf("rebuild of a 150-block deck after an edit: %.3f ms\n", rebuildMs(deck));
    return 0;
}
