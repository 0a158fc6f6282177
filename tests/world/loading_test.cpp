#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "world/level_file.h"
#include "world_test_util.h"

using Lines = std::vector<std::string>;

namespace {

bool contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

long countOf(const Lines& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line);
}

}  // namespace

TEST(Loading, SingleBlockLevel) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0, "<goal face=\"top\"/>")), &lines);
    ASSERT_TRUE(level);
    EXPECT_EQ(lines.back(), "Level consists of 1 blocks");
    ASSERT_EQ(level->blocks.size(), 1u);
    for (int d = 0; d < 6; ++d) EXPECT_EQ(level->blocks[0]->neighbour(d), nullptr);
}

TEST(Loading, NegativeCoordinatesKeepTheirSigns) {
    Lines lines;
    auto level = loadQuietly(
        levelXml(blockXml(0, 0, 0) + blockXml(-1, 0, 0) + blockXml(-1, 0, -1) + blockXml(-1, 0, -2)), &lines);
    ASSERT_TRUE(level);
    EXPECT_EQ(countOf(lines, "linking -10-1-2"), 1);  // pass 1 (x, y, z)
    EXPECT_EQ(countOf(lines, "linking 0-1-1-2"), 1);  // pass 3 (y, x, z)
    EXPECT_EQ(countOf(lines, "linking 000-1"), 2);    // passes 4 and 6 along x
    Block* a = blockAt(*level, -1, 0, -1);
    Block* b = blockAt(*level, -1, 0, -2);
    EXPECT_EQ(a->neighbour(Direction::Front), b);
    EXPECT_EQ(b->neighbour(Direction::Back), a);
    EXPECT_EQ(blockAt(*level, 0, 0, 0)->neighbour(Direction::Left), blockAt(*level, -1, 0, 0));
    EXPECT_EQ(level->blocks.size(), 4u);
}

TEST(Loading, PassesRunInTheirOrder) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0) + blockXml(0, 0, 1) + blockXml(0, 1, 0) + blockXml(1, 0, 0)),
                             &lines);
    ASSERT_TRUE(level);
    const Lines linking(lines.begin() + 1, lines.end() - 2);
    EXPECT_EQ(linking, (Lines{"linking 0010", "linking 0010", "linking 0010", "linking 0010", "linking 0010",
                              "linking 0010"}));
    // z pairs, y pairs, z, x, y, x: each pair twice
    Block* root = blockAt(*level, 0, 0, 0);
    EXPECT_EQ(root->neighbour(Direction::Back), blockAt(*level, 0, 0, 1));
    EXPECT_EQ(root->neighbour(Direction::Top), blockAt(*level, 0, 1, 0));
    EXPECT_EQ(root->neighbour(Direction::Right), blockAt(*level, 1, 0, 0));
}

TEST(Loading, GapOfOneCellBackflipsAndLeavesTheFarBlockOut) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0, "<goal face=\"top\"/>") + blockXml(2, 0, 0)), &lines);
    ASSERT_TRUE(level);
    EXPECT_EQ(lines, (Lines{"next level is n.xml", "decal4face1", "backflipping 0020", "backflipping 0020",
                            "WARNING: block 200 is not connected to the root block!",
                            "WARNING: level isn't fully connected, some of the blocks have been discard(ed)ed!!!",
                            "Level consists of 1 blocks"}));
    ASSERT_EQ(level->blocks.size(), 1u);
    EXPECT_EQ(level->goalIndex, 0);
}

TEST(Loading, EdgeAndCornerContactDoesNotLink) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0) + blockXml(1, 1, 0) + blockXml(1, 1, 1) + blockXml(0, 3, 0)),
                             &lines);
    ASSERT_TRUE(level);
    EXPECT_EQ(level->blocks.size(), 1u);
    EXPECT_FALSE(contains(lines, "linking 0010"));
}

TEST(Loading, UnreachableBlocksAreReportedInPositionOrder) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(5, 0, 0) + blockXml(0, 0, 0) + blockXml(3, 0, 0) + blockXml(3, 0, -1) +
                                      blockXml(-1, 0, 0)),
                             &lines);
    ASSERT_TRUE(level);
    const auto first = std::find(lines.begin(), lines.end(), "WARNING: block 30-1 is not connected to the root block!");
    ASSERT_NE(first, lines.end());
    EXPECT_EQ(*(first + 1), "WARNING: block 300 is not connected to the root block!");
    EXPECT_EQ(*(first + 2), "WARNING: block 500 is not connected to the root block!");
    ASSERT_EQ(level->blocks.size(), 2u);
    // kept in file order and renumbered
    EXPECT_EQ(level->blocks[0]->x, 0);
    EXPECT_EQ(level->blocks[1]->x, -1);
    EXPECT_EQ(level->rootIndex, 0);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(level->blocks[i]->index, i);
}

TEST(Loading, LaterBlockAtATakenPositionReplacesTheFirst) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0, "<collectable face=\"top\"/>") +
                                      blockXml(1, 0, 0, "<collectable face=\"top\"/>") + blockXml(1, 0, 0) +
                                      blockXml(0, 0, 0, "<goal face=\"top\"/>")),
                             &lines);
    ASSERT_TRUE(level);
    ASSERT_EQ(level->blocks.size(), 2u);
    EXPECT_EQ(level->collectableCount, 0);
    EXPECT_EQ(level->rootIndex, 1);  // the second block at the origin is the root
    EXPECT_EQ(level->blocks[level->rootIndex]->decals[Direction::Top], Decal::Goal);
    EXPECT_EQ(level->blocks[0]->neighbour(Direction::Left), level->blocks[1]);
    EXPECT_FALSE(contains(lines, "WARNING: level isn't fully connected, some of the blocks have been discard(ed)ed!!!"));
}

TEST(Loading, RootBlockIsRequired) {
    for (const std::string& blocks : {std::string(), blockXml(1, 0, 0)}) {
        Lines lines;
        EXPECT_FALSE(loadQuietly(levelXml(blocks), &lines));
        EXPECT_EQ(lines.back(), "ERROR: Block at position (0,0,0) is required!");
    }
}

TEST(Loading, HugeCoordinatesDoNotOverflow) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0) + "<block x=\"99999999999\" y=\"0\" z=\"0\"/>" +
                                      "<block x=\"2147483646\" y=\"0\" z=\"0\"/>" +
                                      "<block x=\"-2147483648\" y=\"0\" z=\"0\"/>"),
                             &lines);
    ASSERT_TRUE(level);
    EXPECT_TRUE(contains(lines, "linking 0021474836472147483646"));
    EXPECT_EQ(level->blocks.size(), 1u);
}

TEST(Census, GoalsAreCountedAndReported) {
    Lines lines;
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0, "<goal face=\"top\"/>") +
                                      blockXml(1, 0, 0, "<goal face=\"top\"/><collectable face=\"back\"/>") +
                                      blockXml(2, 0, 0, "<goal face=\"front\"/><collectable face=\"top\"/>")),
                             &lines);
    ASSERT_TRUE(level);
    EXPECT_EQ(countOf(lines, "ERROR: Multiple goals defined"), 2);
    EXPECT_EQ(lines.back(), "ERROR: Multiple goals defined");
    EXPECT_EQ(level->goalIndex, 2);
    EXPECT_EQ(level->collectableCount, 2);

    auto none = loadQuietly(levelXml(blockXml(0, 0, 0)), &lines);
    ASSERT_TRUE(none);
    EXPECT_EQ(lines.back(), "ERROR: This level doesn't have a goal!");
    EXPECT_EQ(none->goalIndex, -1);
    none->reset();
    none->activateGoal();
    EXPECT_FALSE(none->blocks[0]->goalActive);
}

TEST(Census, GoalOpensAtResetOnlyWithoutCollectables) {
    auto empty = loadQuietly(levelXml(blockXml(0, 0, 0, "<goal face=\"top\"/>")));
    ASSERT_TRUE(empty);
    empty->reset();
    EXPECT_TRUE(empty->blocks[0]->goalActive);
    EXPECT_EQ(empty->blocks[0]->edges[Direction::Top][Direction::Right], EdgeKind::Goal);

    auto level = loadQuietly(levelXml(blockXml(0, 0, 0, "<collectable face=\"top\"/>") +
                                      blockXml(1, 0, 0, "<goal face=\"top\"/>")));
    ASSERT_TRUE(level);
    level->reset();
    Block& goal = *level->blocks[level->goalIndex];
    EXPECT_FALSE(goal.goalActive);
    level->activateGoal();
    EXPECT_TRUE(goal.goalActive);
}

TEST(Census, ResetAfterTurnsAndCollections) {
    auto level = loadQuietly(levelXml(blockXml(-1, 0, 0) + blockXml(0, 0, 0, "<collectable face=\"top\"/>") +
                                      blockXml(1, 0, 0, "<collectable face=\"back\"/><goal face=\"top\"/>")));
    ASSERT_TRUE(level);
    Block& middle = *blockAt(*level, 0, 0, 0);
    Block& end = *blockAt(*level, 1, 0, 0);
    ASSERT_TRUE(middle.rotateRight(Direction::Left));
    ASSERT_EQ(middle.decals[Direction::Front], Decal::Collectable);
    middle.decals[Direction::Front] = Decal::Collected;
    end.decals[Direction::Back] = Decal::Collected;
    level->activateGoal();
    level->reset();
    EXPECT_EQ(middle.decals[Direction::Top], Decal::Collectable);
    EXPECT_EQ(middle.decals[Direction::Front], Decal::Plain);
    EXPECT_EQ(end.decals[Direction::Back], Decal::Collectable);
    EXPECT_FALSE(end.goalActive);
    EXPECT_EQ(end.edges[Direction::Top][Direction::Back], EdgeKind::Convex);
    EXPECT_EQ(level->collectableCount, 2);
    for (Block* b : level->blocks) EXPECT_FALSE(b->visited);
}

TEST(LightView, LightAboveTheOriginGivesAFiniteView) {
    for (const Vec3& light : {Vec3{0, 6, 0}, Vec3{0, -6, 0}, Vec3{0, 0, 0}, Vec3{2, 6, 3}}) {
        const Mat4 view = lightViewFrom(light);
        for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(view[i])) << i;
        // the light looks at the origin: it lies straight ahead, on the -Z axis of the view
        const Vec4 origin = transform(view, {0, 0, 0, 1});
        const float distance = std::sqrt(dot(light, light));
        EXPECT_NEAR(origin.x, 0.0f, 1e-5f);
        EXPECT_NEAR(origin.y, 0.0f, 1e-5f);
        EXPECT_NEAR(origin.z, -distance, 1e-5f);
    }
}

TEST(LoadLevel, ReadsFromTheMapsFolderOfTheContentRoot) {
    const std::filesystem::path data = TUMBIX_DATA_DIR;
    const std::filesystem::path scenarios = TUMBIX_SOURCE_DIR "/tests/levels";
    Lines lines;
    {
        ConsoleCapture capture;
        EXPECT_TRUE(loadLevel(data, "level0.xml"));
        EXPECT_TRUE(loadLevel(scenarios, "run.xml"));
        EXPECT_FALSE(loadLevel(data, "run.xml"));  // a scenario level is not in data/maps
        EXPECT_FALSE(loadLevel(data, "no-such-level.xml"));
        EXPECT_FALSE(loadLevel(data, "abcdefghijklmnopqrstuvwxyz.xml"));
        EXPECT_FALSE(loadLevel(data, ""));
        lines = capture.lines();
    }
    EXPECT_EQ(lines.back(), "Loading file  failed!");
    EXPECT_TRUE(contains(lines, "Loading file no-such-level.xml failed!"));
    EXPECT_TRUE(contains(lines, "ERROR: level file name is longer than 26 characters: abcdefghijklmnopqrstuvwxyz.xml"));
    EXPECT_TRUE(contains(lines, "Loading file abcdefghijklmnopqrstuvwxyz.xml failed!"));
}

// "next" names a file inside maps/ by a plain name, as the editor names it:
// nothing else is opened, whatever the name points at.
TEST(LoadLevel, OnlyPlainNamesInsideTheMapsFolderAreOpened) {
    const std::filesystem::path data = TUMBIX_DATA_DIR;
    const char* const refused[] = {
        "/dev/zero", "../maps/level0.xml", "./level0.xml", "..", ".", "/etc/passwd", "sub/level0.xml",
        "level 0.xml", "level0.xml;", "~level0.xml",
    };
    for (const char* name : refused) {
        SCOPED_TRACE(name);
        Lines lines;
        {
            ConsoleCapture capture;
            EXPECT_FALSE(loadLevel(data, name));
            lines = capture.lines();
        }
        EXPECT_EQ(lines, (Lines{std::string("ERROR: level file name is not a plain name in maps/ (letters, digits, "
                                            "'.', '-', '_'): ") +
                                    name,
                                std::string("Loading file ") + name + " failed!"}));
    }
    for (const char* name : {"level0.xml", "level-1_b.xml", "L.XML"}) EXPECT_TRUE(isPlainLevelName(name)) << name;
}
