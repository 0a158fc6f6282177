#include "world/level_file.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "log/console.h"

namespace {

// Returns false when the attribute is absent or does not start with an
// integer; reads like "%d" (leading blanks, a sign, stops at the first
// non-digit) and saturates at the int range.
bool readInt(const TiXmlElement& e, const char* name, int& out) {
    const char* text = e.Attribute(name);
    if (!text) return false;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text) return false;
    out = value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
    return true;
}

// Reads a real attribute like "%lf" into a float; leaves out untouched when
// the attribute is absent or not a number.
void readReal(const TiXmlElement& e, const char* name, float& out) {
    const char* text = e.Attribute(name);
    if (!text) return;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text) return;
    constexpr double largest = std::numeric_limits<float>::max();
    if (value > largest) out = std::numeric_limits<float>::infinity();
    else if (value < -largest) out = -std::numeric_limits<float>::infinity();
    else out = static_cast<float>(value);
}

// Prints the one line of a refused file and returns false.
bool refuse(const std::string& line) {
    console() << line << std::endl;
    return false;
}

// Applies the decal of every element named `tag` (only the first when
// `firstOnly`) to its face. Returns false when one lacks its "face".
bool applyDecals(const TiXmlElement& blockElement, const char* tag, Decal decal, bool firstOnly, Block& b) {
    for (const TiXmlElement* e = blockElement.FirstChildElement(tag); e; e = e->NextSiblingElement(tag)) {
        const char* word = e->Attribute("face");
        if (!word) return refuse(std::string("ERROR: ") + tag + " element without attribute face");
        const Direction face = parseDirection(word);
        if (face >= 0 && b.decals[face] == Decal::Plain) {
            b.decals[face] = decal;
            console() << "decal" << decal << "face" << face << std::endl;
        }
        if (firstOnly) break;
    }
    return true;
}

// Returns a new block from its element, or null (after one line) when a
// coordinate or a decal face is missing.
std::unique_ptr<Block> readBlock(const TiXmlElement& e, int index) {
    int position[3] = {0, 0, 0};
    static const char* const names[3] = {"x", "y", "z"};
    for (int i = 0; i < 3; ++i)
        if (!readInt(e, names[i], position[i])) {
            refuse(std::string("ERROR: block element without integer attribute ") + names[i]);
            return nullptr;
        }
    auto b = std::make_unique<Block>(index, position[0], position[1], position[2]);
    if (!applyDecals(e, "blackhole", Decal::Blackhole, false, *b)) return nullptr;
    if (!applyDecals(e, "collectable", Decal::Collectable, false, *b)) return nullptr;
    if (!applyDecals(e, "goal", Decal::Goal, true, *b)) return nullptr;
    return b;
}

// Walks the root's attributes in document order. Returns false when "next"
// is missing or too long.
bool readRootAttributes(const TiXmlElement& root, LevelFile& out) {
    bool haveNext = false;
    for (const TiXmlAttribute* a = root.FirstAttribute(); a; a = a->Next()) {
        if (std::strcmp(a->Name(), "next") == 0) {
            out.nextLevel = a->Value();
            haveNext = true;
            console() << "next level is " << out.nextLevel << std::endl;
        } else {
            console() << "WARNUNG: unknown level attribute: " << a->Name() << std::endl;
        }
    }
    if (!haveNext) return refuse("ERROR: level file has no next attribute");
    if (out.nextLevel.size() > maxLevelNameLength)
        return refuse("ERROR: next level name is longer than 26 characters: " + out.nextLevel);
    return true;
}

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Returns where `end` ends after `from`, or the end of the text.
std::size_t skipPast(std::string_view text, std::size_t from, std::string_view end) {
    const std::size_t at = text.find(end, from);
    return at == std::string_view::npos ? text.size() : at + end.size();
}

}  // namespace

bool isPlainLevelName(const std::string& name) {
    if (name.empty() || name.size() > maxLevelNameLength || name == "." || name == "..") return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
               c == '_';
    });
}

std::size_t xmlNestingDepth(std::string_view text, std::size_t stopAbove) {
    std::size_t depth = 0, deepest = 0;
    std::size_t i = 0;
    while (i < text.size() && deepest <= stopAbove) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<!--")) {
            i = skipPast(text, i + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            i = skipPast(text, i + 9, "]]>");
        } else if (rest.starts_with("</")) {
            if (depth > 0) --depth;
            i = skipPast(text, i + 2, ">");
        } else if (rest.size() > 1 && (std::isalpha(static_cast<unsigned char>(rest[1])) || rest[1] == '_' ||
                                       static_cast<unsigned char>(rest[1]) >= 127)) {
            // an element: its tag runs to the first ">" outside a quoted value
            deepest = std::max(deepest, ++depth);
            i += 2;
            while (i < text.size() && text[i] != '>') {
                if (text[i] == '=') {
                    ++i;
                    while (i < text.size() && isXmlSpace(text[i])) ++i;
                    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                        i = skipPast(text, i + 1, std::string_view(&text[i], 1));
                        continue;
                    }
                } else {
                    ++i;
                }
            }
            if (i < text.size() && text[i - 1] == '/') --depth;
            ++i;
        } else {
            // a declaration, a document type or text the parser skips: up to ">"
            i = skipPast(text, i + 1, ">");
        }
    }
    return deepest;
}

const char* faceWord(Direction d) {
    static const char* const words[6] = {"right", "top", "back", "left", "bottom", "front"};
    return d >= 0 && d < 6 ? words[d] : "";
}

Direction parseDirection(const char* word) {
    for (int d = 0; d < 6; ++d)
        if (std::strcmp(word, faceWord(d)) == 0) return d;
    console() << "ERROR: illegal direction specifier: " << word << std::endl;
    return -1;
}

bool readLevelText(const std::string& xml, LevelFile& out) {
    TiXmlDocument document;
    // Parsed byte-wise: in UTF-8 mode the parser trusts lead bytes and can
    // step past the end of the text on a truncated sequence. A byte order mark
    // (which only UTF-8 mode would skip) is dropped here.
    const bool byteOrderMark = xml.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (xmlNestingDepth(xml, maxLevelNesting) > maxLevelNesting)
        return refuse("ERROR: level file nests elements deeper than " + std::to_string(maxLevelNesting));
    document.Parse(xml.c_str() + (byteOrderMark ? 3 : 0), nullptr, TIXML_ENCODING_LEGACY);
    if (document.Error()) return false;
    const TiXmlElement* root = document.RootElement();
    if (!root) return refuse("ERROR: level file has no root element");
    if (!readRootAttributes(*root, out)) return false;

    const TiXmlElement* level = root->FirstChildElement("level");
    if (!level) return refuse("ERROR: level file has no level element");
    const TiXmlElement* light = level->FirstChildElement("light");
    if (!light) return refuse("ERROR: level element has no light element");
    readReal(*level, "r", out.ambientColor.x);
    readReal(*level, "g", out.ambientColor.y);
    readReal(*level, "b", out.ambientColor.z);
    readReal(*light, "x", out.lightPosition.x);
    readReal(*light, "y", out.lightPosition.y);
    readReal(*light, "z", out.lightPosition.z);
    readReal(*light, "r", out.lightColor.x);
    readReal(*light, "g", out.lightColor.y);
    readReal(*light, "b", out.lightColor.z);

    for (const TiXmlElement* e = level->FirstChildElement("block"); e; e = e->NextSiblingElement()) {
        std::unique_ptr<Block> b = readBlock(*e, static_cast<int>(out.blocks.size()));
        if (!b) return false;
        if (b->x == 0 && b->y == 0 && b->z == 0) out.root = b.get();
        out.blocks.push_back(std::move(b));
    }
    return true;
}
