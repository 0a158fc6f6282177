#include "render/shaded_blocks.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "render/level_draw.h"
#include "world/block.h"
#include "world/level.h"

TEST(ShadedBlocks, TheEyeIsWhereTheViewLooksFrom) {
    const Vec3 eyes[] = {{0, 0, 4}, {3.5f, -2.0f, 0.25f}, {-7, 11, -3}};
    for (const Vec3& eye : eyes) {
        const Vec3 p = eyePosition(lookAt(eye, {0.5f, 0.25f, -1.0f}, {0, 1, 0}));
        EXPECT_NEAR(p.x, eye.x, 1e-4f);
        EXPECT_NEAR(p.y, eye.y, 1e-4f);
        EXPECT_NEAR(p.z, eye.z, 1e-4f);
    }
}

// The near plane's corners lie 0.14 from the eye: an eye closer than that to
// a block's surface may see into it.
TEST(ShadedBlocks, AnEyeOrNearPlaneReachingIntoABlockCounts) {
    Block a(0, 0, 0, 0), b(1, 1, 0, 0);
    const std::vector<Block*> blocks{&a, &b};
    const struct {
        Vec3 eye;
        bool among;
    } cases[] = {
        {{0, 0, 0}, true},        {{1.4f, 0, 0}, true},     {{0.5f, 0.5f, 0.5f}, true},
        {{0, 0, 0.65f}, true},    {{0, 0, 0.75f}, false},   {{2.0f, 0, 0}, false},
        {{0.6f, 0.6f, 0.6f}, true}, {{0, 3, 0}, false},      {{1, 0, -0.69f}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(eyeAmongBlocks(blocks, c.eye), c.among) << c.eye.x << "," << c.eye.y << "," << c.eye.z;
}

TEST(ShadedBlocks, InnerFacesTouchANeighbourAndNeitherMoves) {
    Block a(0, 0, 0, 0), b(1, 1, 0, 0);
    a.links[Direction::Right] = &b;
    b.links[Direction::Left] = &a;
    EXPECT_TRUE(innerFace(a, Direction::Right, nullptr));
    EXPECT_TRUE(innerFace(b, Direction::Left, nullptr));
    EXPECT_FALSE(innerFace(a, Direction::Top, nullptr));
    EXPECT_FALSE(innerFace(a, Direction::Left, nullptr));
    // a turning block opens its sides: neither face may be left out
    EXPECT_FALSE(innerFace(a, Direction::Right, &b));
    EXPECT_FALSE(innerFace(b, Direction::Left, &b));
}

// Two blocks side by side and a third on top of the first: of their 18
// faces the four between touching blocks are left out of the shadow pass;
// with the top block turning, the two it touches stay.
TEST(ShadedBlocks, OuterFacesLeaveOutThoseBetweenTouchingStillBlocks) {
    auto* a = new Block(0, 0, 0, 0);
    auto* b = new Block(1, 1, 0, 0);
    auto* c = new Block(2, 0, 1, 0);
    a->links[Direction::Right] = b;
    b->links[Direction::Left] = a;
    a->links[Direction::Top] = c;
    c->links[Direction::Bottom] = a;
    const Level level({0.2f, 0.2f, 0.2f, 1}, {2, 6, 3}, {1, 1, 1, 1}, "next.xml", {a, b, c}, 0);
    const auto faces = [](const std::vector<unsigned>& indices) {
        std::vector<std::pair<unsigned, int>> out;  // (block, face) of every sixth index
        for (std::size_t i = 0; i < indices.size(); i += 6)
            out.push_back({indices[i] / 24, static_cast<int>(indices[i] % 24) / 4});
        return out;
    };
    const auto all = faces(outerFaceIndices(level, -1));
    EXPECT_EQ(all.size(), 18u - 4u);
    for (const auto& [block, face] : all) {
        EXPECT_FALSE(block == 0 && (face == Direction::Right || face == Direction::Top)) << block << " " << face;
        EXPECT_FALSE(block == 1 && face == Direction::Left) << block << " " << face;
        EXPECT_FALSE(block == 2 && face == Direction::Bottom) << block << " " << face;
    }
    const auto turning = faces(outerFaceIndices(level, 2));  // drawn apart, with its turn
    EXPECT_EQ(turning.size(), 10u);
    for (const auto& [block, face] : turning) EXPECT_NE(block, 2u);
}
