#pragma once
// Drawing the level: the blocks, from the level's buffers or straight from
// their records, and the collectable items standing on their faces. Every
// draw uses the program, "model" matrix and attribute locations the scene
// pass has made current.

#include <array>
#include <cstddef>

#include "math/math.h"

struct Block;
struct Level;
class DrawnModel;

// One indexed draw: how many indices, from which byte of the index buffer.
struct IndexRange {
    int count = 0;
    std::size_t offsetBytes = 0;
};

// Returns the draws that cover blocks 0..blockCount-1 except `skip` (-1
// skips none); the second range is empty when nothing is skipped.
std::array<IndexRange, 2> levelDrawRanges(int blockCount, int skip);
// Returns the model matrix of the collectable on `face` of `block`: spun
// about its own axes, stood on the face, one unit out from the block centre.
Mat4 collectableMatrix(const Block& block, Direction face, const Mat4& spin);

// The block under the avatar while it is being turned, and its turn
// (Player::turnRotation); no block while nothing turns.
struct BlockTurn {
    const Block* block = nullptr;
    Mat4 rotation;
};
// Returns the model matrix of the collectable on `face` of `block` as drawn:
// on a block being turned it rides round with the turn (the block's record
// holds the turned faces already, the turn carries them back and forth).
Mat4 drawnCollectableMatrix(const Block& block, Direction face, const Mat4& spin, const BlockTurn& turn);

// Draws one block from its record through client arrays.
void drawBlock(const Block& block);
// Draws every block of the level except the one whose index is `skip`.
void drawLevelBlocks(const Level& level, int skip);
// Returns whether face `face` of `block` touches a neighbour and neither
// block is `moving` (may be null): such a face lies inside the structure,
// covered on both sides.
bool innerFace(const Block& block, int face, const Block* moving);
// Draws `model` on every face that holds a collectable, those of a turning
// block with its turn.
void drawCollectables(const Level& level, Mat4 spin, const DrawnModel& model, const BlockTurn& turn);
