#include "render/shaded_blocks.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "render/level_draw.h"
#include "world/block.h"

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

// An inner face seen almost edge-on is drawn all the same: its sliver can
// win the depth test on its edge by rounding.
TEST(ShadedBlocks, InnerFacesSeenEdgeOnAreKept) {
    const Block a(0, 0, 0, 0);  // its top face lies in the plane y = 0.5
    const struct {
        Vec3 eye;
        bool hidden;
    } cases[] = {
        {{0, 3, 0}, true},      {{5, 2, 0}, true},        {{5, 0.5f, 0}, false},
        {{5, 0.9f, 0}, false},  {{-8, 0.2f, 3}, false},   {{0, -2, 0}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(innerFaceHidden(a, Direction::Top, c.eye), c.hidden) << c.eye.x << "," << c.eye.y << "," << c.eye.z;
}
