#include "render/level_shell.h"

#include <algorithm>
#include <array>

#include "math/math.h"
#include "world/block.h"
#include "world/geometry.h"

namespace {

// Returns the corner lists of all 64 masks.
std::array<FaceCorners, 64> buildCornerTable() {
    std::array<FaceCorners, 64> table{};
    for (int mask = 0; mask < 64; ++mask) {
        FaceCorners& c = table[static_cast<std::size_t>(mask)];
        c.count = 0;
        for (int face = 0; face < 6; ++face)
            if (mask & (1 << face))
                for (int k = 0; k < 6; ++k) c.indices[c.count++] = faceIndices[6 * face + k];
    }
    return table;
}

// Returns a grid position packed into one sortable number.
std::int64_t key(int x, int y, int z) {
    constexpr std::int64_t bias = 1 << 20;  // block coordinates stay far inside +-2^20
    return ((x + bias) << 42) | ((y + bias) << 21) | (z + bias);
}

}  // namespace

const FaceCorners& cornersOf(FaceMask mask) {
    static const std::array<FaceCorners, 64> table = buildCornerTable();
    return table[mask & allFaces];
}

void uncoveredFaces(const std::vector<Block*>& blocks, int skip, std::vector<FaceMask>& masks) {
    static std::vector<std::int64_t> occupied;  // reused from frame to frame
    occupied.clear();
    for (std::size_t i = 0; i < blocks.size(); ++i)
        if (static_cast<int>(i) != skip) occupied.push_back(key(blocks[i]->x, blocks[i]->y, blocks[i]->z));
    std::sort(occupied.begin(), occupied.end());
    const auto filled = [](int x, int y, int z) {
        return std::binary_search(occupied.begin(), occupied.end(), key(x, y, z));
    };
    masks.assign(blocks.size(), 0);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (static_cast<int>(i) == skip) continue;
        const Block& b = *blocks[i];
        FaceMask mask = 0;
        for (int face = 0; face < 6; ++face) {
            const Vec3 d = directionVector(face);
            if (!filled(b.x + static_cast<int>(d.x), b.y + static_cast<int>(d.y), b.z + static_cast<int>(d.z)))
                mask = static_cast<FaceMask>(mask | (1 << face));
        }
        masks[i] = mask;
    }
}

void shellIndices(const std::vector<FaceMask>& masks, std::vector<unsigned int>& indices) {
    indices.clear();
    for (std::size_t b = 0; b < masks.size(); ++b) {
        const FaceCorners& c = cornersOf(masks[b]);
        const auto base = static_cast<unsigned int>(verticesPerBlock * b);
        for (int k = 0; k < c.count; ++k) indices.push_back(base + c.indices[k]);
    }
}
