#include "world/block.h"

#include <gtest/gtest.h>

#include "world_test_util.h"

namespace {

void expectLook(const Block& b, Direction face, const FaceLook& look) {
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(b.texCoords[face][k][0], look[k][0]) << "face " << face << " corner " << k;
        EXPECT_EQ(b.texCoords[face][k][1], look[k][1]) << "face " << face << " corner " << k;
    }
}

}  // namespace

TEST(Block, ConstructionPlacesCornersAroundTheCentre) {
    const Block b(7, 2, -1, 3);
    EXPECT_EQ(b.index, 7);
    for (int k = 0; k < 24; ++k) {
        EXPECT_EQ(b.vertices[k][0], 2.0f + faceOffsets[k][0]);
        EXPECT_EQ(b.vertices[k][1], -1.0f + faceOffsets[k][1]);
        EXPECT_EQ(b.vertices[k][2], 3.0f + faceOffsets[k][2]);
        EXPECT_EQ(b.vertices[k][3], 1.0f);
    }
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(b.decals[f], Decal::Plain);
        EXPECT_EQ(b.neighbour(f), nullptr);
    }
    EXPECT_EQ(b.linkAxis, 3);
    EXPECT_EQ(b.rotationStep, 0);
    EXPECT_FALSE(b.visited);
}

TEST(Block, LinkAxisFollowsTheLinks) {
    // a row along X with a block on top of its right end
    auto level = loadQuietly(levelXml(blockXml(-1, 0, 0) + blockXml(0, 0, 0) + blockXml(1, 0, 0) +
                                      blockXml(1, 1, 0) + blockXml(1, 2, 0)));
    ASSERT_TRUE(level);
    EXPECT_EQ(blockAt(*level, 0, 0, 0)->linkAxis, 0);
    EXPECT_EQ(blockAt(*level, -1, 0, 0)->linkAxis, 0);
    EXPECT_EQ(blockAt(*level, 1, 0, 0)->linkAxis, 3);
    EXPECT_EQ(blockAt(*level, 1, 1, 0)->linkAxis, 1);
    auto single = loadQuietly(levelXml(blockXml(0, 0, 0)));
    ASSERT_TRUE(single);
    EXPECT_EQ(single->blocks[0]->linkAxis, 3);
}

TEST(Block, EdgeKindsOfAnExposedFace) {
    auto flat = loadQuietly(levelXml(blockXml(0, 0, 0) + blockXml(1, 0, 0)));
    ASSERT_TRUE(flat);
    const Block& a = *blockAt(*flat, 0, 0, 0);
    EXPECT_EQ(a.edges[Direction::Top][Direction::Right], EdgeKind::Flat);
    EXPECT_EQ(a.edges[Direction::Top][Direction::Left], EdgeKind::Convex);
    EXPECT_EQ(a.edges[Direction::Top][Direction::Back], EdgeKind::Convex);
    // the covered face keeps its row as it was
    for (int d = 0; d < 6; ++d) EXPECT_EQ(a.edges[Direction::Right][d], 0);
    // the entries on the face's own axis are not computed
    EXPECT_EQ(a.edges[Direction::Top][Direction::Top], 0);

    auto wall = loadQuietly(levelXml(blockXml(0, 0, 0) + blockXml(1, 0, 0) + blockXml(1, 1, 0)));
    ASSERT_TRUE(wall);
    EXPECT_EQ(blockAt(*wall, 0, 0, 0)->edges[Direction::Top][Direction::Right], EdgeKind::Concave);
}

TEST(Block, BlackholeAndGoalFacesOverrideTheirEdges) {
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0, "<blackhole face=\"top\"/>") +
                                      blockXml(1, 0, 0, "<goal face=\"top\"/>") + blockXml(2, 0, 0)));
    ASSERT_TRUE(level);
    Block& hole = *blockAt(*level, 0, 0, 0);
    Block& goal = *blockAt(*level, 1, 0, 0);
    for (int d : {0, 2, 3, 5}) EXPECT_EQ(hole.edges[Direction::Top][d], EdgeKind::Blackhole);
    expectLook(hole, Direction::Top, BlackholeLook);
    EXPECT_EQ(goal.edges[Direction::Top][Direction::Right], EdgeKind::Flat);
    EXPECT_EQ(goal.edges[Direction::Top][Direction::Back], EdgeKind::Convex);
    expectLook(goal, Direction::Top, GoalLook);
    expectLook(goal, Direction::Front, PlainLook);

    goal.activateGoal();
    EXPECT_TRUE(goal.goalActive);
    for (int d = 0; d < 6; ++d) EXPECT_EQ(goal.edges[Direction::Top][d], EdgeKind::Goal);
    expectLook(goal, Direction::Top, ActiveGoalLook);
}

TEST(Block, ActivateGoalOpensOnlyTheFirstGoalFace) {
    Block b(0, 0, 0, 0);
    b.decals[Direction::Top] = Decal::Goal;
    b.decals[Direction::Front] = Decal::Goal;
    b.mark();
    ASSERT_TRUE(b.finishLoading());
    b.activateGoal();
    expectLook(b, Direction::Top, ActiveGoalLook);
    expectLook(b, Direction::Front, GoalLook);
    EXPECT_EQ(b.edges[Direction::Front][Direction::Top], EdgeKind::Convex);

    Block plain(0, 0, 0, 0);
    plain.mark();
    ASSERT_TRUE(plain.finishLoading());
    plain.activateGoal();
    EXPECT_TRUE(plain.goalActive);
    expectLook(plain, Direction::Top, PlainLook);
}

TEST(Block, FinishLoadingRejectsUnmarkedBlocks) {
    Block b(0, 0, 0, 0);
    EXPECT_FALSE(b.finishLoading());
    expectLook(b, Direction::Top, {{0, 0}, {0, 0}, {0, 0}, {0, 0}});
    b.mark();
    EXPECT_TRUE(b.finishLoading());
    EXPECT_FALSE(b.visited);
}

TEST(Block, MarkAndResetWalkLongChainsWithoutRecursing) {
    // a chain this long would overflow the call stack of a recursive walk
    const int n = 200000;
    std::vector<std::unique_ptr<Block>> chain;
    for (int i = 0; i < n; ++i) chain.push_back(std::make_unique<Block>(i, i, 0, 0));
    for (int i = 1; i < n; ++i) {
        chain[i - 1]->links[Direction::Right] = chain[i].get();
        chain[i]->links[Direction::Left] = chain[i - 1].get();
    }
    chain[0]->mark();
    EXPECT_TRUE(chain[n - 1]->visited);
    chain[0]->unmark();
    EXPECT_FALSE(chain[n - 1]->visited);
    chain[n - 1]->decals[Direction::Top] = Decal::Collected;
    chain[0]->reset();
    chain[0]->unmark();
    EXPECT_EQ(chain[n - 1]->decals[Direction::Top], Decal::Collectable);
    EXPECT_FALSE(chain[n / 2]->visited);
}

TEST(Block, ResetRestoresTheReachableStructureOnly) {
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0, "<collectable face=\"top\"/>") +
                                      blockXml(1, 0, 0, "<goal face=\"back\"/>") + blockXml(-1, 0, 0)));
    ASSERT_TRUE(level);
    Block& root = *blockAt(*level, 0, 0, 0);
    Block& goal = *blockAt(*level, 1, 0, 0);
    root.decals[Direction::Top] = Decal::Collected;
    goal.activateGoal();
    ASSERT_TRUE(root.rotateLeft(Direction::Right));
    ASSERT_TRUE(root.rotateLeft(Direction::Right));

    Block outside(9, 5, 5, 5);
    outside.decals[Direction::Top] = Decal::Collected;

    root.reset();
    root.unmark();
    EXPECT_EQ(root.decals[Direction::Top], Decal::Collectable);
    EXPECT_EQ(root.rotationCount, 0);
    EXPECT_EQ(root.rotationStep, 0);
    EXPECT_FALSE(goal.goalActive);
    expectLook(goal, Direction::Back, GoalLook);
    EXPECT_EQ(goal.edges[Direction::Back][Direction::Top], EdgeKind::Convex);
    EXPECT_EQ(goal.edges[Direction::Back][Direction::Left], EdgeKind::Flat);
    for (Block* b : level->blocks) EXPECT_FALSE(b->visited);
    EXPECT_EQ(outside.decals[Direction::Top], Decal::Collected);
}
