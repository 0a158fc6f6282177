#include "world/light_view.h"

#include <gtest/gtest.h>

#include <string>

#include "log/console.h"
#include "world/level.h"

namespace {

std::unique_ptr<Level> levelWith(const std::string& light, const std::string& blocks) {
    ConsoleCapture quiet;
    return loadLevelFromText("t.xml", "<map next=\"t.xml\"><level r=\"0.2\" g=\"0.2\" b=\"0.2\">" + light + blocks +
                                          "<block x=\"0\" y=\"0\" z=\"-1\"><goal face=\"top\" /></block>"
                                          "</level></map>");
}

}  // namespace

TEST(LightView, CountsTheBlocksThatReachOutsideIt) {
    const std::string row = "<block x=\"0\" y=\"0\" z=\"0\" /><block x=\"1\" y=\"0\" z=\"0\" />";
    std::string longRow = "<block x=\"0\" y=\"0\" z=\"0\" />";
    for (int x = 1; x <= 12; ++x) longRow += "<block x=\"" + std::to_string(x) + "\" y=\"0\" z=\"0\" />";
    const struct {
        const char* what;
        std::string light, blocks;
        int outside;
    } cases[] = {
        {"a few blocks under a distant light", "<light x=\"2\" y=\"6\" z=\"3\" r=\"1\" g=\"1\" b=\"1\" />", row, 0},
        // 60 degrees from 4 units up cover about 2.3 units each side of the origin
        {"a long row under a low light", "<light x=\"0\" y=\"4\" z=\"0.5\" r=\"1\" g=\"1\" b=\"1\" />", longRow, 10},
        {"the same row from far away", "<light x=\"0\" y=\"30\" z=\"3\" r=\"1\" g=\"1\" b=\"1\" />", longRow, 0},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<Level> level = levelWith(c.light, c.blocks);
        ASSERT_TRUE(level) << c.what;
        EXPECT_EQ(blocksOutsideLightView(*level), c.outside) << c.what;
        const std::string warning = lightViewWarning(*level);
        if (c.outside == 0) {
            EXPECT_EQ(warning, "") << c.what;
        } else {
            EXPECT_EQ(warning.rfind("WARNING: " + std::to_string(c.outside) + " of ", 0), 0u) << warning;
        }
    }
}
