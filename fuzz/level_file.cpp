// Feeds arbitrary text to the level reader, then plays with what it loaded:
// turns about every heading, collecting, goal activation and reset.
#include <cstddef>
#include <cstdint>
#include <string>

#include "log/console.h"
#include "world/geometry.h"
#include "world/level.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ConsoleSilence quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<Level> level = loadLevelFromText("fuzz.xml", text);
    if (!level) return 0;

    level->reset();
    int heading = 0;
    for (Block* b : level->blocks) {
        b->rotateLeft(heading);
        b->rotateRight((heading + 1) % 6);
        for (int f = 0; f < 6; ++f)
            if (b->decals[f] == Decal::Collectable) b->decals[f] = Decal::Collected;
        heading = (heading + 1) % 6;
    }
    level->activateGoal();
    level->reset();
    const auto vertices = buildVertexArray(level->blocks);
    const auto indices = buildIndexArray(level->blocks.size());
    if (vertices.size() != level->blocks.size() * 216 || indices.size() != level->blocks.size() * 36) __builtin_trap();
    return 0;
}
