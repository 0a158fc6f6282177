#include <charconv>
#include <sstream>

#include "editor/level_document.h"

namespace {

// Returns the shortest text that reads back as the same float.
std::string number(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Returns text safe inside a double-quoted attribute.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

const char* faceWord(int face) {
    static const char* const words[6] = {"right", "top", "back", "left", "bottom", "front"};
    return words[face];
}

}  // namespace

std::string levelDocumentText(const LevelDocument& d) {
    std::ostringstream out;
    out << "<?xml version=\"1.0\" ?>\n<map next=\"" << escaped(d.nextLevel) << "\">\n";
    out << "    <level r=\"" << number(d.ambientColor.x) << "\" g=\"" << number(d.ambientColor.y) << "\" b=\""
        << number(d.ambientColor.z) << "\">\n";
    out << "        <light x=\"" << number(d.lightPosition.x) << "\" y=\"" << number(d.lightPosition.y) << "\" z=\""
        << number(d.lightPosition.z) << "\" r=\"" << number(d.lightColor.x) << "\" g=\"" << number(d.lightColor.y)
        << "\" b=\"" << number(d.lightColor.z) << "\" />\n";
    // the loader applies black holes, then collectables, then the first goal
    static const std::pair<int, const char*> order[3] = {
        {Decal::Blackhole, "blackhole"}, {Decal::Collectable, "collectable"}, {Decal::Goal, "goal"}};
    for (const DocumentBlock& b : d.blocks) {
        out << "        <block x=\"" << b.x << "\" y=\"" << b.y << "\" z=\"" << b.z << "\"";
        std::ostringstream children;
        for (const auto& [decal, tag] : order)
            for (int f = 0; f < 6; ++f)
                if (b.decals[f] == decal) children << "            <" << tag << " face=\"" << faceWord(f) << "\" />\n";
        if (children.str().empty())
            out << " />\n";
        else
            out << ">\n" << children.str() << "        </block>\n";
    }
    out << "    </level>\n</map>\n";
    return out.str();
}
