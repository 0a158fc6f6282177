#pragma once
// A level described in plain lines, for scripts that build levels by hand
// (tools/gen_levels.py): levelgen --describe writes it with the game's own
// level writer and places the light from the structure, so no script keeps a
// second copy of either.
//
//   title TEXT            the comment naming the level
//   next NAME             the next level
//   ambient R G B         ambient colour, each 0..1
//   light-dir X Y Z       direction from the structure's centre to the light
//   block X Y Z           a block (again is an error)
//   decal X Y Z FACE KIND FACE: right top back left bottom front; KIND: blackhole collectable goal
//
// Blank lines and lines starting with # are skipped.

#include <istream>
#include <string>

#include "world/level_writer.h"

// Most blocks and largest coordinate a description may hold.
inline constexpr int kMostDescribedBlocks = 10000;
inline constexpr int kFarthestDescribedCell = 1000;

// Reads a description into `text` (the light placed along light-dir, default
// (0.45, 1, 0.55)). False with `error` naming the line on anything malformed.
bool readDescription(std::istream& in, LevelText& text, std::string& error);
