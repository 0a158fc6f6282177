#include "world/level_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "world/level.h"
#include "world/level_file.h"

namespace {

// Shortest text that reads back as the same float.
std::string number(float v) {
    if (v == 0.0f) v = 0.0f;  // no "-0"
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::string attribute(const char* name, float v) { return std::string(" ") + name + "=\"" + number(v) + "\""; }

// Escapes the characters XML does not allow in an attribute value.
std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
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

}  // namespace

std::string writeLevelText(const LevelText& text) {
    std::string out = "<?xml version=\"1.0\" ?>\n";
    if (!text.comment.empty()) {
        std::string comment = text.comment;
        for (std::size_t at; (at = comment.find("--")) != std::string::npos;) comment.replace(at, 2, "- -");
        if (comment.back() == '-') comment += ' ';
        out += "<!-- " + comment + " -->\n";
    }
    out += "<map next=\"" + escaped(text.next) + "\">\n";
    out += "    <level" + attribute("r", text.ambientColor.x) + attribute("g", text.ambientColor.y) +
           attribute("b", text.ambientColor.z) + ">\n";
    out += "        <light" + attribute("x", text.lightPosition.x) + attribute("y", text.lightPosition.y) +
           attribute("z", text.lightPosition.z) + attribute("r", text.lightColor.x) +
           attribute("g", text.lightColor.y) + attribute("b", text.lightColor.z) + " />\n";
    for (const BlockEntry& b : text.blocks) {
        const std::string open = "        <block x=\"" + std::to_string(b.x) + "\" y=\"" + std::to_string(b.y) +
                                 "\" z=\"" + std::to_string(b.z) + "\"";
        std::string children;
        // the loader applies black holes, then collectables, then the goal
        const struct {
            int decal;
            int alsoDecal;
            const char* element;
        } kinds[3] = {{Decal::Blackhole, Decal::Blackhole, "blackhole"},
                      {Decal::Collectable, Decal::Collected, "collectable"},
                      {Decal::Goal, Decal::Goal, "goal"}};
        for (const auto& kind : kinds)
            for (int f = 0; f < 6; ++f)
                if (b.decals[f] == kind.decal || b.decals[f] == kind.alsoDecal)
                    children += std::string("            <") + kind.element + " face=\"" + faceWord(f) + "\" />\n";
        if (children.empty())
            out += open + " />\n";
        else
            out += open + ">\n" + children + "        </block>\n";
    }
    out += "    </level>\n</map>\n";
    return out;
}

LevelText levelTextOf(const Level& level, const std::string& comment) {
    LevelText text;
    text.comment = comment;
    text.next = level.nextLevel;
    text.ambientColor = level.ambientColor;
    text.lightPosition = level.lightPosition;
    text.lightColor = level.lightColor;
    for (const Block* b : level.blocks) {
        BlockEntry e;
        e.x = b->x;
        e.y = b->y;
        e.z = b->z;
        for (int f = 0; f < 6; ++f) e.decals[f] = b->decals[f];
        text.blocks.push_back(e);
    }
    return text;
}

namespace {

// Whether every block corner lies in the light's view from `light` towards
// the origin (60 degrees high, 4:3 wide, 90 % of the view, 1..95 units deep).
bool frames(const std::vector<BlockEntry>& blocks, const Vec3& light) {
    const Vec3 forward = normalise(Vec3{0.0f, 0.0f, 0.0f} - light);
    Vec3 side = cross(forward, Vec3{0.0f, 1.0f, 0.0f});
    if (!(dot(side, side) > 1e-12f)) return false;
    side = normalise(side);
    const Vec3 up = cross(side, forward);
    const float limitY = std::tan(30.0f * 3.14159265f / 180.0f) * 0.9f;
    const float limitX = limitY * 4.0f / 3.0f;
    for (const BlockEntry& b : blocks) {
        for (int corner = 0; corner < 8; ++corner) {
            const Vec3 p{b.x + ((corner & 1) ? 0.5f : -0.5f), b.y + ((corner & 2) ? 0.5f : -0.5f),
                         b.z + ((corner & 4) ? 0.5f : -0.5f)};
            const Vec3 rel = p - light;
            const float depth = dot(rel, forward);
            if (depth < 1.0f || depth > 95.0f) return false;
            if (std::fabs(dot(rel, side)) / depth > limitX || std::fabs(dot(rel, up)) / depth > limitY) return false;
        }
    }
    return true;
}

}  // namespace

Vec3 framingLight(const std::vector<BlockEntry>& blocks, Vec3 direction) {
    if (blocks.empty()) return direction;
    Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (const BlockEntry& b : blocks) {
        lo = {std::min(lo.x, float(b.x)), std::min(lo.y, float(b.y)), std::min(lo.z, float(b.z))};
        hi = {std::max(hi.x, float(b.x)), std::max(hi.y, float(b.y)), std::max(hi.z, float(b.z))};
    }
    const Vec3 centre = (lo + hi) * 0.5f;
    direction = normalise(direction);
    Vec3 light = centre;
    for (float distance = 8.0f; distance <= 90.0f; distance += 0.5f) {
        const Vec3 p = centre + direction * distance;
        light = {std::round(p.x * 10.0f) / 10.0f, std::round(p.y * 10.0f) / 10.0f, std::round(p.z * 10.0f) / 10.0f};
        if (frames(blocks, light)) return light;
    }
    return light;
}
