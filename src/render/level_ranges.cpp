#include "render/level_draw.h"

#include "render/scene_math.h"
#include "world/block.h"
#include "world/geometry.h"

std::array<IndexRange, 2> levelDrawRanges(int blockCount, int skip) {
    constexpr std::size_t bytesPerBlock = indicesPerBlock * sizeof(unsigned int);
    if (skip < 0 || skip >= blockCount) return {IndexRange{indicesPerBlock * blockCount, 0}, IndexRange{}};
    return {IndexRange{indicesPerBlock * skip, 0},
            IndexRange{indicesPerBlock * (blockCount - skip - 1), bytesPerBlock * static_cast<std::size_t>(skip + 1)}};
}

Mat4 collectableMatrix(const Block& block, Direction face, const Mat4& spin) {
    const Vec3 centre{static_cast<float>(block.x), static_cast<float>(block.y), static_cast<float>(block.z)};
    const Mat4 placed = translate(Mat4::identity(), centre + directionVector(face));
    return multiply(multiply(placed, faceOrientation[face]), spin);
}

Mat4 drawnCollectableMatrix(const Block& block, Direction face, const Mat4& spin, const BlockTurn& turn) {
    const Mat4 placed = collectableMatrix(block, face, spin);
    return turn.block == &block ? multiply(turnModelMatrix(block, turn.rotation), placed) : placed;
}

bool innerFace(const Block& block, int face, const Block* moving) {
    const Block* other = block.neighbour(face);
    return other != nullptr && &block != moving && other != moving;
}
