#include "levelgen/describe.h"

#include <cmath>
#include <map>
#include <sstream>
#include <tuple>

#include "world/block.h"

namespace {

const char* const kFaces[6] = {"right", "top", "back", "left", "bottom", "front"};

int faceOf(const std::string& word) {
    for (int f = 0; f < 6; ++f)
        if (word == kFaces[f]) return f;
    return -1;
}

int kindOf(const std::string& word) {
    if (word == "blackhole") return Decal::Blackhole;
    if (word == "collectable") return Decal::Collectable;
    if (word == "goal") return Decal::Goal;
    return -1;
}

// Reads exactly `n` integers within the described range and nothing else but `rest` words.
bool readCell(std::istringstream& in, int (&cell)[3]) {
    for (int& v : cell) {
        if (!(in >> v) || std::abs(v) > kFarthestDescribedCell) return false;
    }
    return true;
}

bool readColour(std::istringstream& in, float (&c)[3], float lo, float hi) {
    for (float& v : c) {
        if (!(in >> v) || !std::isfinite(v) || v < lo || v > hi) return false;
    }
    return true;
}

}  // namespace

bool readDescription(std::istream& in, LevelText& text, std::string& error) {
    text = LevelText{};
    Vec3 lightDirection{0.45f, 1.0f, 0.55f};
    std::map<std::tuple<int, int, int>, std::size_t> at;
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(number) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        std::istringstream words(line);
        std::string key;
        if (!(words >> key) || key[0] == '#') continue;
        if (key == "title" || key == "next") {
            std::string rest;
            std::getline(words >> std::ws, rest);
            if (rest.empty()) return fail(key + " needs a value");
            (key == "title" ? text.comment : text.next) = rest;
            continue;
        }
        if (key == "ambient") {
            float c[3];
            if (!readColour(words, c, 0.0f, 1.0f)) return fail("ambient needs three numbers from 0 to 1");
            text.ambientColor = {c[0], c[1], c[2], 1.0f};
        } else if (key == "light-dir") {
            float d[3];
            if (!readColour(words, d, -100.0f, 100.0f) || d[0] * d[0] + d[1] * d[1] + d[2] * d[2] < 1e-6f)
                return fail("light-dir needs three numbers, not all zero");
            lightDirection = {d[0], d[1], d[2]};
        } else if (key == "block") {
            int c[3];
            if (!readCell(words, c)) return fail("block needs three whole numbers within 1000 of the origin");
            if (!at.emplace(std::tuple(c[0], c[1], c[2]), text.blocks.size()).second)
                return fail("a second block at the same place");
            if (static_cast<int>(text.blocks.size()) >= kMostDescribedBlocks) return fail("too many blocks");
            BlockEntry e;
            e.x = c[0], e.y = c[1], e.z = c[2];
            text.blocks.push_back(e);
        } else if (key == "decal") {
            int c[3];
            std::string face, kind;
            if (!readCell(words, c) || !(words >> face >> kind)) return fail("decal needs X Y Z FACE KIND");
            const auto block = at.find(std::tuple(c[0], c[1], c[2]));
            if (block == at.end()) return fail("no block for the decal");
            const int f = faceOf(face), k = kindOf(kind);
            if (f < 0) return fail("unknown face " + face);
            if (k < 0) return fail("unknown decal " + kind);
            int& decal = text.blocks[block->second].decals[f];
            if (decal != Decal::Plain) return fail("the face already carries a decal");
            decal = k;
        } else {
            return fail("unknown word " + key);
        }
        std::string extra;
        if (words >> extra) return fail("unexpected " + extra);
    }
    if (text.blocks.empty()) return fail("no blocks");
    if (!at.count({0, 0, 0})) return fail("no block at (0, 0, 0), where the avatar starts");
    text.lightPosition = framingLight(text.blocks, lightDirection);
    return true;
}
