#pragma once
// Reading the XML level format into blocks and level settings; no linking.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "math/math.h"
#include "world/block.h"

// Longest file name (and "next" value) a level may use.
inline constexpr std::size_t maxLevelNameLength = 26;

// Whether `name` can name a level file inside maps/: 1 to 26 letters, digits,
// '.', '-' or '_', and neither "." nor "..".
bool isPlainLevelName(const std::string& name);

// Deepest nesting of elements a level file may use (the format needs 4).
inline constexpr std::size_t maxLevelNesting = 32;

// Values absent from the file: a dim grey ambient, a white light at the origin.
inline constexpr float defaultAmbient = 0.2f;
inline constexpr float defaultLightColor = 1.0f;
inline constexpr float defaultLightCoordinate = 0.0f;

// What a level file says, before its blocks are linked.
struct LevelFile {
    Vec4 ambientColor{defaultAmbient, defaultAmbient, defaultAmbient, 1.0f};
    Vec3 lightPosition{defaultLightCoordinate, defaultLightCoordinate, defaultLightCoordinate};
    Vec4 lightColor{defaultLightColor, defaultLightColor, defaultLightColor, 1.0f};
    std::string nextLevel;
    std::vector<std::unique_ptr<Block>> blocks;  // file order; index = file position
    Block* root = nullptr;                       // the last block read at (0, 0, 0)
};

// Returns the level file's word for a side: "right", "top", "back", "left",
// "bottom" or "front" (the one table of them).
const char* faceWord(Direction d);
// Returns the Direction of a face word, or -1 after printing
// "ERROR: illegal direction specifier: " + word.
Direction parseDirection(const char* word);

// Returns how deep the elements of XML text nest, as the parser would see
// them, without recursion; stops counting once past `stopAbove`.
std::size_t xmlNestingDepth(std::string_view text, std::size_t stopAbove);

// Parses level XML text, printing the console lines of the format as it
// goes. Returns false when the text is not well-formed XML or lacks a
// required part (after printing one line naming it); the caller reports the
// failed load.
bool readLevelText(const std::string& xml, LevelFile& out);
