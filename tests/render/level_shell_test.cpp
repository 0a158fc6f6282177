#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "render/level_shell.h"
#include "world/block.h"
#include "world/geometry.h"

namespace {

// Blocks at the given positions, indexed in list order.
struct Blocks {
    std::vector<std::unique_ptr<Block>> owned;
    std::vector<Block*> list;
    Blocks(std::initializer_list<std::array<int, 3>> positions) {
        for (const auto& p : positions) {
            owned.push_back(std::make_unique<Block>(static_cast<int>(owned.size()), p[0], p[1], p[2]));
            list.push_back(owned.back().get());
        }
    }
};

FaceMask without(std::initializer_list<int> faces) {
    FaceMask mask = allFaces;
    for (int f : faces) mask = static_cast<FaceMask>(mask & ~(1 << f));
    return mask;
}

}  // namespace

TEST(LevelShell, CornerListsFollowTheBlockIndexOrder) {
    EXPECT_EQ(cornersOf(0).count, 0);
    const FaceCorners& all = cornersOf(allFaces);
    ASSERT_EQ(all.count, indicesPerBlock);
    for (int i = 0; i < indicesPerBlock; ++i) EXPECT_EQ(all.indices[i], faceIndices[i]);
    // Top (1) and Front (5): corners 4..7 and the front face's own winding.
    const FaceCorners& two = cornersOf(static_cast<FaceMask>((1 << 1) | (1 << 5)));
    const unsigned int expected[] = {4, 5, 6, 4, 6, 7, 20, 22, 21, 20, 23, 22};
    ASSERT_EQ(two.count, 12);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(two.indices[i], expected[i]);
}

TEST(LevelShell, TouchingBlocksLoseTheFacesBetweenThem) {
    // A row along X with a block on top of the middle one, and one that only
    // touches an edge (diagonal neighbours cover nothing).
    Blocks b{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {1, 1, 0}, {3, 1, 0}};
    std::vector<FaceMask> masks;
    uncoveredFaces(b.list, -1, masks);
    ASSERT_EQ(masks.size(), 5u);
    EXPECT_EQ(masks[0], without({0}));
    EXPECT_EQ(masks[1], without({0, 1, 3}));
    EXPECT_EQ(masks[2], without({3}));
    EXPECT_EQ(masks[3], without({4}));
    EXPECT_EQ(masks[4], allFaces);
}

TEST(LevelShell, SkippedBlockUncoversItsNeighbours) {
    Blocks b{{0, 0, 0}, {0, 0, -1}, {0, 0, -2}};
    std::vector<FaceMask> masks;
    uncoveredFaces(b.list, 1, masks);
    EXPECT_EQ(masks[0], allFaces);
    EXPECT_EQ(masks[1], 0);
    EXPECT_EQ(masks[2], allFaces);
    uncoveredFaces(b.list, 0, masks);
    EXPECT_EQ(masks[0], 0);
    EXPECT_EQ(masks[1], without({5}));  // still covered towards z = -2
}

TEST(LevelShell, IndicesAddressEachBlocksCornersInTheLevelBuffer) {
    Blocks b{{0, 0, 0}, {5, 0, 0}, {-7, 3, 2}};
    std::vector<FaceMask> masks;
    uncoveredFaces(b.list, 1, masks);
    std::vector<unsigned int> indices;
    shellIndices(masks, indices);
    ASSERT_EQ(indices.size(), 2u * indicesPerBlock);
    for (int i = 0; i < indicesPerBlock; ++i) {
        EXPECT_EQ(indices[static_cast<std::size_t>(i)], faceIndices[i]);
        EXPECT_EQ(indices[static_cast<std::size_t>(indicesPerBlock + i)], 2u * verticesPerBlock + faceIndices[i]);
    }
    shellIndices({}, indices);
    EXPECT_TRUE(indices.empty());
}
