// The level writer's round trip: whatever the loader keeps of a text, written
// out and loaded again, must give the same level, and writing that must give
// the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "log/console.h"
#include "world/level.h"
#include "world/level_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ConsoleSilence quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<Level> level = loadLevelFromText("fuzz.xml", text);
    if (!level) return 0;
    const std::string written = writeLevelText(levelTextOf(*level, "fuzz"));
    std::unique_ptr<Level> again = loadLevelFromText("fuzz.xml", written);
    if (!again) __builtin_trap();  // the writer wrote what the loader refuses
    if (again->blocks.size() != level->blocks.size()) __builtin_trap();
    if (writeLevelText(levelTextOf(*again, "fuzz")) != written) __builtin_trap();
    return 0;
}
