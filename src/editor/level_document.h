#pragma once
// What the level editor edits: the level file's description as the writer
// takes it (blocks at grid cells with what each face carries, colours, light,
// the next level's name and the file's comment), holding the level as the
// game loads it.

#include <string>
#include <vector>

#include "world/block.h"
#include "world/level_writer.h"

using LevelDocument = LevelText;
using DocumentBlock = BlockEntry;

// Returns the index of the block at (x, y, z), or -1.
int findBlock(const LevelDocument& document, int x, int y, int z);
inline bool isOrigin(const DocumentBlock& b) { return b.x == 0 && b.y == 0 && b.z == 0; }
// Whether two documents hold the same level and comment.
bool sameDocument(const LevelDocument& a, const LevelDocument& b);

// Returns a new level: a single plain block at the origin, the default light,
// next level "level0.xml".
LevelDocument newLevelDocument();

// The result of opening a level file for editing.
struct OpenedLevel {
    enum class Status { Opened, Created, Refused };
    Status status = Status::Refused;
    LevelDocument document;
    std::vector<std::string> lines;  // what the loader printed (or why nothing was read)
};

// Opens `path` through the game's loader; the document holds the blocks the
// loader keeps, and the file's first comment. A missing file gives a new
// level (Created); a file that cannot be read or that the loader refuses
// gives Refused with the loader's lines, and nothing happens to it.
OpenedLevel openLevelDocument(const std::string& path);

// Writes the document to `path` in the level format through the safe writer
// (files/safe_save.h), so a failed save leaves the old file whole. Returns ""
// on success, else a one-line reason.
std::string saveLevelDocument(const LevelDocument& document, const std::string& path);
