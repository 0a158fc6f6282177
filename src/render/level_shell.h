#pragma once
// The shell of a level: the block faces that no other block covers. A face
// shared by two touching blocks lies inside the structure, so neither the
// camera nor the light ever sees it; leaving such faces out spares the
// rasteriser their depth work in every pass.

#include <cstdint>
#include <vector>

struct Block;

// Bit d set: face d (a Direction) of the block is uncovered.
using FaceMask = std::uint8_t;
inline constexpr FaceMask allFaces = 0x3f;

// The corners (0..23 of one block) of the faces in a mask, as triangles in
// the order of the block's own index list.
struct FaceCorners {
    unsigned int indices[36];
    int count;
};
// Returns the corner list for `mask`.
const FaceCorners& cornersOf(FaceMask mask);

// Fills `masks` with the uncovered faces of every block, as if block `skip`
// (-1 for none) were not there: it gets no faces, and its neighbours' faces
// towards it count as uncovered (while it turns it does not fill its cell).
void uncoveredFaces(const std::vector<Block*>& blocks, int skip, std::vector<FaceMask>& masks);
// Fills `indices` with the index list of the level's buffers (24 corners per
// block, in list order) that draws the faces in `masks`.
void shellIndices(const std::vector<FaceMask>& masks, std::vector<unsigned int>& indices);
