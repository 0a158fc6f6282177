#pragma once
// Linking the blocks of a level file and keeping those reachable from the root.

#include <memory>
#include <vector>

#include "world/block.h"

// Links every pair of face-adjacent blocks (six passes over the positions
// sorted by each order of the coordinates, printing "linking" and
// "backflipping" lines), marks what the root reaches, finishes those blocks
// and reports the others. Returns the kept blocks in file order, renumbered
// 0..n-1, taking them out of `blocks`; everything left there (unreachable
// blocks, blocks displaced by a later one at the same position) is freed
// with it. O(n log n).
std::vector<Block*> linkBlocks(std::vector<std::unique_ptr<Block>>& blocks, Block& root);
