#include "world/geometry.h"

#include <algorithm>

const float faceNormals[24][3] = {
    {1, 0, 0},  {1, 0, 0},  {1, 0, 0},  {1, 0, 0},  {0, 1, 0},  {0, 1, 0},  {0, 1, 0},  {0, 1, 0},
    {0, 0, 1},  {0, 0, 1},  {0, 0, 1},  {0, 0, 1},  {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0},
    {0, -1, 0}, {0, -1, 0}, {0, -1, 0}, {0, -1, 0}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1}};

const unsigned int faceIndices[36] = {0,  1,  2,  0,  2,  3,  4,  5,  6,  4,  6,  7,
                                      8,  9,  10, 8,  10, 11, 12, 13, 14, 12, 14, 15,
                                      16, 17, 18, 16, 18, 19, 20, 22, 21, 20, 23, 22};

std::vector<float> buildVertexArray(const std::vector<Block*>& blocks) {
    std::vector<float> out;
    out.reserve(blocks.size() * verticesPerBlock * floatsPerVertex);
    for (const Block* b : blocks)
        for (int v = 0; v < verticesPerBlock; ++v) {
            out.insert(out.end(), b->vertices[v], b->vertices[v] + 4);
            out.insert(out.end(), faceNormals[v], faceNormals[v] + 3);
            out.insert(out.end(), b->texCoords[v / 4][v % 4], b->texCoords[v / 4][v % 4] + 2);
        }
    return out;
}

std::vector<unsigned int> buildIndexArray(std::size_t blockCount) {
    std::vector<unsigned int> out;
    out.reserve(blockCount * indicesPerBlock);
    for (std::size_t b = 0; b < blockCount; ++b)
        for (unsigned int i : faceIndices) out.push_back(static_cast<unsigned int>(verticesPerBlock * b) + i);
    return out;
}
