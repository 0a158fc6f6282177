// Loading and linking levels of 1k, 10k and 100k blocks generated in memory.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "log/console.h"
#include "world/level.h"
#include "world/linking.h"

namespace {

struct Cell {
    int x, y, z;
};

// Returns n positions filling a cube of side ceil(cbrt(n)) row by row,
// layer by layer: one connected structure containing the origin.
std::vector<Cell> cells(int n) {
    const int side = static_cast<int>(std::ceil(std::cbrt(static_cast<double>(n))));
    std::vector<Cell> out;
    for (int y = 0; static_cast<int>(out.size()) < n; ++y)
        for (int z = 0; z < side && static_cast<int>(out.size()) < n; ++z)
            for (int x = 0; x < side && static_cast<int>(out.size()) < n; ++x) out.push_back({x, y, z});
    return out;
}

// Returns the XML text of a level of n blocks with a goal and some collectables.
std::string levelText(int n) {
    std::string xml = "<map next=\"level1.xml\"><level r=\"0.2\" g=\"0.2\" b=\"0.25\">"
                      "<light x=\"20\" y=\"60\" z=\"30\" r=\"1\" g=\"1\" b=\"0.9\"/>";
    const std::vector<Cell> all = cells(n);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Cell& c = all[i];
        xml += "<block x=\"" + std::to_string(c.x) + "\" y=\"" + std::to_string(c.y) + "\" z=\"" +
               std::to_string(c.z) + "\">";
        if (i + 1 == all.size()) xml += "<goal face=\"top\"/>";
        else if (i % 97 == 5) xml += "<collectable face=\"front\"/>";
        xml += "</block>";
    }
    return xml + "</level></map>";
}

void loadFromText(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string xml = levelText(n);
    ConsoleSilence quiet;  // the console account of a load
    for (auto _ : state) {
        std::unique_ptr<Level> level = loadLevelFromText("bench.xml", xml);
        if (!level || static_cast<int>(level->blocks.size()) != n) state.SkipWithError("level did not load");
        benchmark::DoNotOptimize(level.get());
    }
    state.SetComplexityN(n);
}

void linkOnly(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<Cell> all = cells(n);
    ConsoleSilence quiet;  // the console account of a load
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::unique_ptr<Block>> blocks;
        blocks.reserve(all.size());
        for (const Cell& c : all) blocks.push_back(std::make_unique<Block>(static_cast<int>(blocks.size()), c.x, c.y, c.z));
        Block& root = *blocks.front();
        state.ResumeTiming();
        std::vector<Block*> kept = linkBlocks(blocks, root);
        state.PauseTiming();
        for (Block* b : kept) delete b;
        state.ResumeTiming();
    }
    state.SetComplexityN(n);
}

}  // namespace

BENCHMARK(loadFromText)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(linkOnly)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();

BENCHMARK_MAIN();
