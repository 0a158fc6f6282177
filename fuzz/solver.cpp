// The solver on small hostile levels: any level the loader keeps (at most a
// few dozen blocks) is searched with a small state budget; the search must
// end, and a win it reports must win when replayed in the game.
#include <cstddef>
#include <cstdint>
#include <string>

#include "solver/solver.h"
#include "log/console.h"
#include "rules/game.h"
#include "world/level.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ConsoleSilence quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<Level> level = loadLevelFromText("fuzz.xml", text);
    if (!level || level->blocks.size() > 40) return 0;
    static Game* game = new Game;  // content-free: the rules only
    game->setLevel(std::move(level));
    SolveLimits limits;
    limits.maxStates = 3000;
    const SolveResult result = solve(*game, limits);
    if (!result.won()) return 0;
    if (replay(*game, result.actions) != StepEnd::Won) __builtin_trap();
    return 0;
}
