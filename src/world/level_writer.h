#pragma once
// Writing levels in the level file format: the inverse of the loader. Used
// by the level generator; an editor saves through the same functions.

#include <string>
#include <vector>

#include "math/math.h"

struct Level;

// One block as a level file lists it: its cell and what each face carries
// (Decal values indexed by Direction; Collected is written as a collectable).
struct BlockEntry {
    int x = 0, y = 0, z = 0;
    int decals[6] = {0, 0, 0, 0, 0, 0};
};

// Everything a level file holds.
struct LevelText {
    std::string comment;  // written as an XML comment after the declaration; empty for none
    std::string next;     // the "next" attribute
    Vec4 ambientColor{0.2f, 0.2f, 0.25f, 1.0f};
    Vec3 lightPosition{4.0f, 9.0f, 3.0f};
    Vec4 lightColor{1.0f, 1.0f, 0.9f, 1.0f};
    std::vector<BlockEntry> blocks;  // file order; the avatar starts on the one at (0, 0, 0)
};

// Returns the level file text: declaration, comment, root "map" with "next",
// "level" with the light first, then one "block" element per block with its
// decals in the order the loader applies them (black holes, collectables,
// goal). Numbers are written as the shortest text that reads back the same.
// A "--" in the comment (not allowed in XML comments) is written as "- -".
std::string writeLevelText(const LevelText& text);

// Returns what a level file for `level` holds: its colours, light, next level
// and its blocks with their faces as they are now (reset the level first to
// write its start state).
LevelText levelTextOf(const Level& level, const std::string& comment = {});

// Returns a light position along `direction` (from the structure's centre)
// from which the light's view of the origin (60 degrees high, 4:3 wide, as
// the shadow map sees it) holds every corner of the blocks with a margin.
// Falls back to the farthest position tried when none frames them all.
Vec3 framingLight(const std::vector<BlockEntry>& blocks, Vec3 direction);
