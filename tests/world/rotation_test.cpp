#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "world/block.h"
#include "world_test_util.h"

namespace {

// A row along X; the middle block carries four distinct face contents
// around the X axis (top, front, bottom, back).
std::unique_ptr<Level> rowLevel() {
    return loadQuietly(levelXml(blockXml(-1, 0, 0) +
                                blockXml(0, 0, 0,
                                         "<collectable face=\"top\"/><blackhole face=\"front\"/>"
                                         "<goal face=\"bottom\"/>") +
                                blockXml(1, 0, 0)));
}

struct FaceContent {
    int decal;
    float u0, v0;
};

FaceContent content(const Block& b, Direction f) {
    return {b.decals[f], b.texCoords[f][0][0], b.texCoords[f][0][1]};
}

void expectMoved(const Block& after, const Block& before, std::initializer_list<std::pair<int, int>> moves) {
    for (auto [from, to] : moves) {
        EXPECT_EQ(after.decals[to], before.decals[from]) << from << " -> " << to;
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(after.texCoords[to][k][0], before.texCoords[from][k][0]);
            EXPECT_EQ(after.texCoords[to][k][1], before.texCoords[from][k][1]);
        }
    }
}

// Returns a copy of the state that turns change.
std::unique_ptr<Block> snapshot(const Block& b) {
    auto copy = std::make_unique<Block>(b.index, b.x, b.y, b.z);
    for (int f = 0; f < 6; ++f) {
        copy->decals[f] = b.decals[f];
        for (int k = 0; k < 4; ++k)
            for (int j = 0; j < 2; ++j) copy->texCoords[f][k][j] = b.texCoords[f][k][j];
    }
    return copy;
}

}  // namespace

TEST(Rotation, LeftAboutPlusXMovesTopToFront) {
    auto level = rowLevel();
    ASSERT_TRUE(level);
    Block& b = *blockAt(*level, 0, 0, 0);
    ASSERT_EQ(b.linkAxis, 0);
    const auto before = snapshot(b);
    ASSERT_TRUE(b.rotateLeft(Direction::Right));
    EXPECT_EQ(b.rotationStep, -1);
    EXPECT_EQ(b.rotationCount, 3);
    expectMoved(b, *before, {{1, 5}, {5, 4}, {4, 2}, {2, 1}, {0, 0}, {3, 3}});
    // the black hole now faces down and the top is plain again
    EXPECT_EQ(b.edges[Direction::Top][Direction::Back], EdgeKind::Convex);
    EXPECT_EQ(b.edges[Direction::Bottom][Direction::Back], EdgeKind::Blackhole);
}

TEST(Rotation, RightAndNegativeHeadingsTurnTheOtherWay) {
    auto level = rowLevel();
    ASSERT_TRUE(level);
    Block& b = *blockAt(*level, 0, 0, 0);
    const auto before = snapshot(b);
    ASSERT_TRUE(b.rotateRight(Direction::Right));
    EXPECT_EQ(b.rotationStep, 1);
    EXPECT_EQ(b.rotationCount, 1);
    expectMoved(b, *before, {{5, 1}, {4, 5}, {2, 4}, {1, 2}});

    auto level2 = rowLevel();
    Block& c = *blockAt(*level2, 0, 0, 0);
    ASSERT_TRUE(c.rotateLeft(Direction::Left));  // same as right about +X
    EXPECT_EQ(c.rotationStep, 1);
    EXPECT_EQ(c.rotationCount, 1);
    expectMoved(c, *before, {{5, 1}, {4, 5}, {2, 4}, {1, 2}});
    ASSERT_TRUE(c.rotateRight(Direction::Left));
    EXPECT_EQ(c.rotationStep, -1);
    EXPECT_EQ(c.rotationCount, 0);
    expectMoved(c, *before, {{1, 1}, {5, 5}, {4, 4}, {2, 2}});
}

TEST(Rotation, FourTurnsAndOppositeTurnsRestoreTheFaces) {
    auto level = rowLevel();
    ASSERT_TRUE(level);
    Block& b = *blockAt(*level, 0, 0, 0);
    const auto before = snapshot(b);
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(b.rotateLeft(Direction::Right));
    EXPECT_EQ(b.rotationCount, 0);
    expectMoved(b, *before, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}});
    ASSERT_TRUE(b.rotateLeft(Direction::Left));
    ASSERT_TRUE(b.rotateRight(Direction::Left));
    expectMoved(b, *before, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}});
}

TEST(Rotation, RefusedAboutAnyOtherAxis) {
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0) + blockXml(1, 0, 0) + blockXml(0, 1, 0)));
    ASSERT_TRUE(level);
    Block& corner = *blockAt(*level, 0, 0, 0);
    Block& end = *blockAt(*level, 1, 0, 0);
    ConsoleCapture capture;
    for (int heading = 0; heading < 6; ++heading) {
        EXPECT_FALSE(corner.rotateLeft(heading));
        EXPECT_FALSE(corner.rotateRight(heading));
    }
    EXPECT_FALSE(end.rotateLeft(Direction::Top));
    EXPECT_FALSE(end.rotateRight(Direction::Back));
    EXPECT_EQ(corner.rotationStep, 0);
    EXPECT_EQ(corner.rotationCount, 0);
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], "ERROR can't rotate along that axis");

    auto single = loadQuietly(levelXml(blockXml(0, 0, 0)));
    ConsoleCapture quiet;
    for (int heading = 0; heading < 6; ++heading) EXPECT_FALSE(single->blocks[0]->rotateLeft(heading));
}

TEST(Rotation, ActiveGoalTurnsWithItsFaceAndLinksStay) {
    auto level = rowLevel();
    ASSERT_TRUE(level);
    Block& b = *blockAt(*level, 0, 0, 0);
    b.activateGoal();  // goal on the bottom face
    ASSERT_TRUE(b.rotateLeft(Direction::Right));  // bottom -> back
    EXPECT_EQ(b.decals[Direction::Back], Decal::Goal);
    for (int d : {0, 1, 3, 4}) EXPECT_EQ(b.edges[Direction::Back][d], EdgeKind::Goal);
    EXPECT_EQ(b.edges[Direction::Bottom][Direction::Front], EdgeKind::Blackhole);
    EXPECT_EQ(b.neighbour(Direction::Left), blockAt(*level, -1, 0, 0));
    EXPECT_EQ(b.neighbour(Direction::Right), blockAt(*level, 1, 0, 0));
    EXPECT_EQ(b.neighbour(Direction::Top), nullptr);
}

TEST(Rotation, LevelResetUndoesAnySequenceOfTurns) {
    auto level = rowLevel();
    ASSERT_TRUE(level);
    Block& b = *blockAt(*level, 0, 0, 0);
    const auto before = snapshot(b);
    const int turns[] = {-1, -1, 1, -1, -1, -1, 1};
    for (int t : turns) ASSERT_TRUE(t < 0 ? b.rotateLeft(Direction::Right) : b.rotateRight(Direction::Left));
    level->reset();
    EXPECT_EQ(b.rotationCount, 0);
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(content(b, f).decal, content(*before, f).decal);
        EXPECT_EQ(content(b, f).u0, content(*before, f).u0);
        EXPECT_EQ(content(b, f).v0, content(*before, f).v0);
    }
}

namespace {

// Returns whether two blocks look and behave alike: decals, looks, goal and
// turn state, and the edges the rules read (off the face's own axis, on
// faces not covered).
bool sameRecord(const Block& a, const Block& b) {
    for (int f = 0; f < 6; ++f)
        for (int d = 0; d < 6; ++d)
            if (!a.links[f] && d % 3 != f % 3 && a.edges[f][d] != b.edges[f][d]) return false;
    return a.state() == b.state() && std::memcmp(a.texCoords, b.texCoords, sizeof a.texCoords) == 0;
}

// Plays `moves` on the middle block of a row along X: 'L' and 'R' turn it,
// 'T' takes the first collectable it shows, 'G' opens its goal.
void play(Block& b, const char* moves) {
    for (const char* m = moves; *m; ++m) {
        if (*m == 'L' || *m == 'R') {
            ASSERT_TRUE(*m == 'L' ? b.rotateLeft(Direction::Right) : b.rotateRight(Direction::Right));
        }
        if (*m == 'G') b.activateGoal();
        if (*m == 'T')
            for (int f = 0; f < 6; ++f)
                if (b.decals[f] == Decal::Collectable) {
                    b.decals[f] = Decal::Collected;
                    break;
                }
    }
}

}  // namespace

// A block brought to a state by restore() is the block play led there,
// whatever it stood at before; restoreLoaded() gives the block as loaded.
// Blocks whose faces all look plain take a shorter way (only their
// collectables move), checked here alongside the others.
TEST(Rotation, RestoringABlockGivesTheRecordPlayGave) {
    struct Row {
        const char* what;
        const char* children;  // of the middle block
        const char* played;    // moves to the state restored
        const char* before;    // moves of the block it is restored into
    };
    const Row rows[] = {
        {"plain", "", "LLR", "R"},
        {"collectables only", "<collectable face=\"top\"/><collectable face=\"front\"/>", "LTRRT", "TL"},
        {"collectables, back", "<collectable face=\"top\"/><collectable face=\"back\"/>", "RRRT", "LLT"},
        {"black hole and collectable", "<collectable face=\"top\"/><blackhole face=\"front\"/>", "LTL", "RR"},
        {"goal opened", "<goal face=\"bottom\"/><collectable face=\"back\"/>", "RTGL", "L"},
        {"goal opened before restore", "<goal face=\"bottom\"/>", "LL", "GR"},
    };
    for (const Row& r : rows) {
        const std::string xml = levelXml(blockXml(-1, 0, 0) + blockXml(0, 0, 0, r.children) + blockXml(1, 0, 0));
        auto played = loadQuietly(xml), restored = loadQuietly(xml), fresh = loadQuietly(xml);
        ASSERT_TRUE(played && restored && fresh) << r.what;
        Block& p = *blockAt(*played, 0, 0, 0);
        Block& b = *blockAt(*restored, 0, 0, 0);
        play(p, r.played);
        play(b, r.before);
        b.restore(p.state());
        EXPECT_TRUE(sameRecord(b, p)) << r.what;
        b.restoreLoaded();
        EXPECT_TRUE(sameRecord(b, *blockAt(*fresh, 0, 0, 0))) << r.what << ": back as loaded";
        EXPECT_TRUE(b.atRest()) << r.what;
    }
}
