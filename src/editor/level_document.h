#pragma once
// What the level editor edits: a level as the game loads it, held as plain
// values (block positions with their six decals, colours, light and the name
// of the next level) so that it can be copied for undo and written out.

#include <string>
#include <vector>

#include "motion/math.h"
#include "world/block.h"

struct Level;

struct DocumentBlock {
    int x = 0, y = 0, z = 0;
    Decal decals[6] = {};

    bool isOrigin() const { return x == 0 && y == 0 && z == 0; }
    bool operator==(const DocumentBlock& o) const;
};

struct LevelDocument {
    Vec4 ambientColor{0.2f, 0.2f, 0.25f, 1.0f};
    Vec3 lightPosition{2.0f, 6.0f, 3.0f};
    Vec4 lightColor{1.0f, 1.0f, 0.9f, 1.0f};
    std::string nextLevel = "level0.xml";
    std::vector<DocumentBlock> blocks;  // file order; one of them stands at the origin

    // Returns the index of the block at (x, y, z), or -1.
    int find(int x, int y, int z) const;
    bool operator==(const LevelDocument& o) const;
};

// Returns a new level: a single plain block at the origin, the default light.
LevelDocument newLevelDocument();
// Returns the blocks (in level order), decals, colours, light and next name
// of a freshly loaded level.
LevelDocument documentOf(const Level& level);

// The result of opening a level file for editing.
struct OpenedLevel {
    enum class Status { Opened, Created, Refused };
    Status status = Status::Refused;
    LevelDocument document;
    std::vector<std::string> lines;  // what the loader printed (or why nothing was read)
};

// Opens `path` through the game's loader. A missing file gives a new level
// (Created); a file that cannot be read or that the loader refuses gives
// Refused with the loader's lines, and nothing else happens to it.
OpenedLevel openLevelDocument(const std::string& path);

// Writes the document to `path` in the level format, through a temporary
// file in the same folder that then replaces `path`, so a failed save leaves
// the old file whole. Returns "" on success, else a one-line reason.
std::string saveLevelDocument(const LevelDocument& document, const std::string& path);
// Returns the document as level XML text.
std::string levelDocumentText(const LevelDocument& document);
