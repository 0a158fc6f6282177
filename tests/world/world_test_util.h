#pragma once
// Helpers for the world tests: console capture and small level texts.

#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "log/console.h"
#include "world/level.h"

// Returns a level document with the given block elements.
inline std::string levelXml(const std::string& blocks, const std::string& rootAttributes = "next=\"n.xml\"") {
    return "<map " + rootAttributes +
           "><level r=\"0.1\" g=\"0.2\" b=\"0.3\"><light x=\"2\" y=\"6\" z=\"3\" r=\"1\" g=\"1\" b=\"0.9\"/>" +
           blocks + "</level></map>";
}

// Returns a block element at (x, y, z) with the given children.
inline std::string blockXml(int x, int y, int z, const std::string& children = "") {
    return "<block x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" z=\"" + std::to_string(z) +
           "\">" + children + "</block>";
}

// Loads the text quietly, keeping the console lines in `lines` when given.
inline std::unique_ptr<Level> loadQuietly(const std::string& xml, std::vector<std::string>* lines = nullptr) {
    ConsoleCapture capture;
    std::unique_ptr<Level> level = loadLevelFromText("test.xml", xml);
    if (lines) *lines = capture.lines();
    return level;
}

// Returns the block of the level at (x, y, z), or null.
inline Block* blockAt(const Level& level, int x, int y, int z) {
    for (Block* b : level.blocks)
        if (b->x == x && b->y == y && b->z == z) return b;
    return nullptr;
}
