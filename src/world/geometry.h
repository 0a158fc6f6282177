#pragma once
// The level geometry as plain arrays: 24 vertices of 9 floats per block
// (position x, y, z, 1; normal; u, v) and 36 indices per block.

#include <cstddef>
#include <vector>

#include "world/block.h"

inline constexpr int floatsPerVertex = 9;  // 36 bytes
inline constexpr int verticesPerBlock = 24;
inline constexpr int indicesPerBlock = 36;
inline constexpr int normalOffsetBytes = 16;
inline constexpr int texCoordOffsetBytes = 28;

// Unit normal of each of a block's 24 corners.
extern const float faceNormals[24][3];
// Two counter-clockwise triangles per face, as corners 0..23 of one block.
extern const unsigned int faceIndices[36];

// Returns the vertices of all blocks in list order; vertex v of block b is
// number 24 * b + v.
std::vector<float> buildVertexArray(const std::vector<Block*>& blocks);
// Returns faceIndices repeated for blockCount blocks, offset by 24 per block.
std::vector<unsigned int> buildIndexArray(std::size_t blockCount);
