#include "world/geometry.h"

#include <gtest/gtest.h>

#include "math/math.h"
#include "world_test_util.h"

TEST(Geometry, ArraysHoldEveryBlockInListOrder) {
    auto level = loadQuietly(levelXml(blockXml(0, 0, 0) + blockXml(0, 1, 0, "<blackhole face=\"back\"/>") +
                                      blockXml(0, 2, 0, "<goal face=\"top\"/>")));
    ASSERT_TRUE(level);
    const auto vertices = buildVertexArray(level->blocks);
    const auto indices = buildIndexArray(level->blocks.size());
    ASSERT_EQ(vertices.size() * sizeof(float), 3u * 864u);
    ASSERT_EQ(indices.size() * sizeof(unsigned int), 3u * 144u);
    for (std::size_t b = 0; b < 3; ++b) {
        const Block& block = *level->blocks[b];
        for (int i = 0; i < 36; ++i) EXPECT_EQ(indices[36 * b + i], 24 * b + faceIndices[i]);
        for (int v = 0; v < 24; ++v) {
            const float* vertex = &vertices[(24 * b + v) * floatsPerVertex];
            for (int k = 0; k < 4; ++k) EXPECT_EQ(vertex[k], block.vertices[v][k]);
            for (int k = 0; k < 3; ++k) EXPECT_EQ(vertex[4 + k], faceNormals[v][k]);
            EXPECT_EQ(vertex[7], block.texCoords[v / 4][v % 4][0]);
            EXPECT_EQ(vertex[8], block.texCoords[v / 4][v % 4][1]);
        }
    }
    // looks as loaded: a black hole on block 1, an inactive goal on block 2
    EXPECT_EQ(vertices[(24 * 1 + 8) * floatsPerVertex + 7], BlackholeLook[0][0]);
    EXPECT_EQ(vertices[(24 * 2 + 4) * floatsPerVertex + 7], GoalLook[0][0]);
}

TEST(Geometry, EveryTriangleFacesOutwards) {
    for (int t = 0; t < 12; ++t) {
        const float* p[3];
        for (int k = 0; k < 3; ++k) p[k] = faceOffsets[faceIndices[3 * t + k]];
        const Vec3 a{p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
        const Vec3 b{p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
        const Vec3 n = cross(a, b);
        const Vec3 expected = directionVector(t / 2);
        EXPECT_GT(dot(n, expected), 0.0f) << "triangle " << t;
        for (int k = 0; k < 3; ++k) {
            const float* normal = faceNormals[faceIndices[3 * t + k]];
            EXPECT_EQ((Vec3{normal[0], normal[1], normal[2]}), expected);
        }
    }
}


