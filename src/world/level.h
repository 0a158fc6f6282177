#pragma once
// A loaded level: light and colours, the chain to the next level, the census
// of collectables and goal, and the reachable blocks (owned).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "math/math.h"
#include "world/block.h"

struct Level {
    Vec4 ambientColor;   // (r, g, b, 1) of the "level" element
    Vec3 lightPosition;  // "light" x, y, z
    Vec4 lightColor;     // (r, g, b, 1) of the "light" element
    Mat4 lightView;      // from lightPosition towards the origin
    std::string nextLevel;  // file name under "maps/" of the successor
    int collectableCount = 0;
    int goalIndex = -1;          // position in blocks of the goal block, -1 if none
    std::vector<Block*> blocks;  // owned; file order; blocks[i]->index == i
    int rootIndex = 0;           // position in blocks of the block at (0, 0, 0)

    // Takes ownership of blocks and counts collectables and goals (printing
    // the goal errors).
    Level(const Vec4& ambient, const Vec3& light, const Vec4& lightCol, std::string next,
          std::vector<Block*> levelBlocks, int root);
    // Deletes the blocks.
    ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // Restores the start state; opens the goal at once when there is nothing to collect.
    void reset();
    // Opens the goal, if the level has one.
    void activateGoal();
};

// Returns the light's view matrix: from light towards the origin with +Y up,
// falling back to another up vector when the light stands on the Y axis.
Mat4 lightViewFrom(const Vec3& light);

// Loads "maps/" + name under the content root (empty: the working
// directory). Returns null after printing why when the file is missing,
// malformed or not a usable level; the lines name the file by `name` alone.
std::unique_ptr<Level> loadLevel(const std::filesystem::path& contentRoot, const char* name);
// The same from XML text already in memory; name is used in the messages only.
std::unique_ptr<Level> loadLevelFromText(const char* name, const std::string& xml);
