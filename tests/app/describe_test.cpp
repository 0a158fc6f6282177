// Levels described in plain lines (levelgen --describe): written with the
// game's writer, read back by its loader; every malformed line refused by number.
#include <gtest/gtest.h>

#include <sstream>

#include "levelgen/describe.h"
#include "log/console.h"
#include "world/level.h"
#include "world/level_file.h"

namespace {

TEST(Describe, ADescribedLevelLoadsAsDescribedWithItsLightFramingIt) {
    std::istringstream in(
        "# two blocks\n"
        "title the two blocks\n"
        "next level7.xml\n"
        "ambient 0.2 0.21 0.25\n"
        "light-dir 1 0.8 0.25\n"
        "block 0 0 0\n"
        "\n"
        "block 0 0 -1\n"
        "decal 0 0 -1 top goal\n"
        "decal 0 0 0 left collectable\n");
    LevelText text;
    std::string error;
    ASSERT_TRUE(readDescription(in, text, error)) << error;
    const std::string xml = writeLevelText(text);
    EXPECT_NE(xml.find("<!-- the two blocks -->"), std::string::npos);
    ConsoleCapture console;
    std::unique_ptr<Level> level = loadLevelFromText("d.xml", xml);
    ASSERT_TRUE(level);
    EXPECT_EQ(level->nextLevel, "level7.xml");
    EXPECT_EQ(level->blocks.size(), 2u);
    EXPECT_EQ(level->collectableCount, 1);
    EXPECT_GE(level->goalIndex, 0);
    // the light lies along the direction asked for, above the structure
    EXPECT_GT(text.lightPosition.y, 1.0f);
    EXPECT_GT(text.lightPosition.x, text.lightPosition.z);
}

TEST(Describe, MalformedLinesAreRefusedByNumber) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"block 0 0 0\nblock 0 0 0\n", "line 2: a second block at the same place"},
        {"block 0 0 0\nblock 1 0\n", "line 2: block needs three whole numbers within 1000 of the origin"},
        {"block 0 0 0\nblock 0 5000 0\n", "line 2: block needs three whole numbers within 1000 of the origin"},
        {"block 0 0 0\ndecal 0 0 1 top goal\n", "line 2: no block for the decal"},
        {"block 0 0 0\ndecal 0 0 0 up goal\n", "line 2: unknown face up"},
        {"block 0 0 0\ndecal 0 0 0 top gold\n", "line 2: unknown decal gold"},
        {"block 0 0 0\ndecal 0 0 0 top goal\ndecal 0 0 0 top blackhole\n", "line 3: the face already carries a decal"},
        {"block 0 0 0\nambient 0.2 0.2 7\n", "line 2: ambient needs three numbers from 0 to 1"},
        {"block 0 0 0\nlight-dir 0 0 0\n", "line 2: light-dir needs three numbers, not all zero"},
        {"block 0 0 0\nlight-dir nan 1 1\n", "line 2: light-dir needs three numbers, not all zero"},
        {"block 0 0 0 9\n", "line 1: unexpected 9"},
        {"colour 1 2 3\n", "line 1: unknown word colour"},
        {"title\n", "line 1: title needs a value"},
        {"block 1 0 0\n", "line 1: no block at (0, 0, 0), where the avatar starts"},
        {"", "line 0: no blocks"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::istringstream in(c.text);
        LevelText text;
        std::string error;
        EXPECT_FALSE(readDescription(in, text, error));
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
