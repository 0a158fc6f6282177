#pragma once
// A loaded level: light and colours, the chain to the next level, the census
// of collectables and goal, the reachable blocks (owned), and the names of
// the GPU buffers holding their geometry.

#include <memory>
#include <string>
#include <vector>

#include "motion/math.h"
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
    unsigned int vertexBuffer = 0;  // GL buffer names; 0 when none were made
    unsigned int indexBuffer = 0;
    std::vector<float> bufferLooks;  // block texture coordinates as vertexBuffer holds them

    // Takes ownership of blocks, counts collectables and goals (printing the
    // goal errors) and uploads the geometry when vboSupported is set.
    Level(const Vec4& ambient, const Vec3& light, const Vec4& lightCol, std::string next,
          std::vector<Block*> levelBlocks, int root);
    // Deletes the GPU buffers (if any) and the blocks.
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

// Loads "maps/" + name relative to the working directory. Returns null after
// printing why when the file is missing, malformed or not a usable level.
std::unique_ptr<Level> loadLevel(const char* name);
// The same from XML text already in memory; name is used in the messages only.
std::unique_ptr<Level> loadLevelFromText(const char* name, const std::string& xml);

// GL side: create / delete the level's two buffers (level_gl.cpp).
void uploadLevelGeometry(Level& level);
void deleteLevelGeometry(Level& level);
// Rewrites the buffered vertices of blocks whose looks changed since they
// were uploaded (turns, an opened goal, a reset); nothing without buffers.
void refreshLevelLooks(Level& level);
