// Level files written by the level writer load back as the same level.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <tuple>

#include "log/console.h"
#include "world/level.h"
#include "world/level_writer.h"

namespace {

// Compares what a level file can say: colours, light, next level, blocks in
// file order with their faces.
void expectSameLevel(const Level& a, const Level& b) {
    EXPECT_EQ(a.nextLevel, b.nextLevel);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ((&a.ambientColor.x)[i], (&b.ambientColor.x)[i]);
        EXPECT_EQ((&a.lightColor.x)[i], (&b.lightColor.x)[i]);
        EXPECT_EQ((&a.lightPosition.x)[i], (&b.lightPosition.x)[i]);
    }
    EXPECT_EQ(a.rootIndex, b.rootIndex);
    EXPECT_EQ(a.collectableCount, b.collectableCount);
    EXPECT_EQ(a.goalIndex, b.goalIndex);
    ASSERT_EQ(a.blocks.size(), b.blocks.size());
    for (std::size_t i = 0; i < a.blocks.size(); ++i) {
        const Block& p = *a.blocks[i];
        const Block& q = *b.blocks[i];
        EXPECT_EQ(std::tuple(p.x, p.y, p.z), std::tuple(q.x, q.y, q.z)) << i;
        for (int f = 0; f < 6; ++f) EXPECT_EQ(int(p.decals[f]), int(q.decals[f])) << i << " face " << f;
    }
}

TEST(LevelWriter, EveryShippedLevelLoadsBackTheSameFromWhatIsWritten) {
    ConsoleCapture quiet;
    int levels = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TUMBIX_DATA_DIR "/maps")) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".xml") continue;
        SCOPED_TRACE(name);
        std::unique_ptr<Level> original = loadLevel(TUMBIX_DATA_DIR, name.c_str());
        ASSERT_TRUE(original);
        const std::string text = writeLevelText(levelTextOf(*original, "a comment"));
        std::unique_ptr<Level> copy = loadLevelFromText(name.c_str(), text);
        ASSERT_TRUE(copy);
        expectSameLevel(*original, *copy);
        // and writing the copy gives the same text again
        EXPECT_EQ(writeLevelText(levelTextOf(*copy, "a comment")), text);
        ++levels;
    }
    EXPECT_GT(levels, 0);
}

TEST(LevelWriter, DecalsAreWrittenInTheLoadersOrderAndTakenOnesAsCollectables) {
    LevelText text;
    text.next = "level1.xml";
    text.comment = "two -- dashes";
    BlockEntry root;
    root.decals[Direction::Front] = Decal::Goal;
    root.decals[Direction::Top] = Decal::Collected;
    root.decals[Direction::Right] = Decal::Blackhole;
    text.blocks.push_back(root);
    const std::string xml = writeLevelText(text);
    EXPECT_NE(xml.find("<!-- two - - dashes -->"), std::string::npos) << xml;
    const std::size_t hole = xml.find("<blackhole face=\"right\" />");
    const std::size_t item = xml.find("<collectable face=\"top\" />");
    const std::size_t goal = xml.find("<goal face=\"front\" />");
    ASSERT_NE(hole, std::string::npos);
    ASSERT_NE(item, std::string::npos);
    ASSERT_NE(goal, std::string::npos);
    EXPECT_LT(hole, item);
    EXPECT_LT(item, goal);

    ConsoleCapture console;
    std::unique_ptr<Level> level = loadLevelFromText("w.xml", xml);
    ASSERT_TRUE(level);
    EXPECT_EQ(level->collectableCount, 1);
    EXPECT_EQ(level->nextLevel, "level1.xml");
    for (const std::string& line : console.lines()) EXPECT_EQ(line.rfind("ERROR", 0), std::string::npos) << line;
}

TEST(LevelWriter, TheLightIsPlacedFartherForALargerStructure) {
    std::vector<BlockEntry> small(1), large;
    for (int x = -12; x <= 12; ++x) {
        BlockEntry e;
        e.x = x;
        e.z = -x;
        large.push_back(e);
    }
    const Vec3 dir{0.45f, 1.0f, 0.55f};
    const Vec3 near = framingLight(small, dir);
    const Vec3 far = framingLight(large, dir);
    EXPECT_GT(dot(far, far), dot(near, near));
    EXPECT_LT(std::sqrt(dot(far, far)), 95.0f);  // within the shadow map's depth range
    EXPECT_GT(near.y, 0.0f);                     // from above
}

}  // namespace
