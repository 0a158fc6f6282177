#include "editor/level_editor.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <tuple>

#include "world/level_file.h"

namespace {

constexpr std::size_t kMaxUndo = 1000;

const char* decalName(Decal d) {
    switch (d) {
    case Decal::Blackhole:
        return "black hole";
    case Decal::Collectable:
    case Decal::Collected:
        return "collectable";
    case Decal::Goal:
        return "goal";
    }
    return "nothing";
}

// Returns the position next to b on side d.
std::tuple<int, int, int> beside(const DocumentBlock& b, Direction d) {
    const Vec3 v = directionVector(d);
    return {b.x + int(v.x), b.y + int(v.y), b.z + int(v.z)};
}

// Returns the value with four significant digits, as a designer reads it.
std::string shortNumber(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", double(value));
    return text;
}

bool validPick(const LevelDocument& document, const FacePick& pick) {
    return pick.block >= 0 && pick.block < int(document.blocks.size()) && pick.face >= 0 && pick.face < 6;
}

}  // namespace

std::string positionText(const DocumentBlock& b) {
    return "(" + std::to_string(b.x) + "," + std::to_string(b.y) + "," + std::to_string(b.z) + ")";
}

bool connectedToOrigin(const LevelDocument& document, int without) {
    std::set<std::tuple<int, int, int>> left;
    std::vector<std::tuple<int, int, int>> todo;
    for (int i = 0; i < int(document.blocks.size()); ++i) {
        if (i == without) continue;
        const DocumentBlock& b = document.blocks[i];
        left.insert({b.x, b.y, b.z});
    }
    if (!left.erase({0, 0, 0})) return left.empty();
    todo.push_back({0, 0, 0});
    while (!todo.empty()) {
        const auto [x, y, z] = todo.back();
        todo.pop_back();
        for (int d = 0; d < 6; ++d) {
            const auto next = beside(DocumentBlock{x, y, z, {}}, d);
            if (left.erase(next)) todo.push_back(next);
        }
    }
    return left.empty();
}

LevelEditor::LevelEditor(LevelDocument document) : document_(std::move(document)) {
    if (findBlock(document_, 0, 0, 0) < 0) document_.blocks.insert(document_.blocks.begin(), DocumentBlock{});
}

void LevelEditor::beginEdit(int mergeKey) {
    const bool merge = mergeKey != 0 && mergeKey == lastMergeKey_ && !undo_.empty() && revision_ != savedRevision_;
    if (!merge) {
        undo_.push_back({document_, revision_});
        if (undo_.size() > kMaxUndo) undo_.erase(undo_.begin());
    }
    redo_.clear();
    revision_ = nextRevision_++;
    lastMergeKey_ = mergeKey;
}

EditResult LevelEditor::addBlock(const FacePick& pick) {
    if (!validPick(document_, pick)) return {false, "no face picked"};
    const auto [x, y, z] = beside(document_.blocks[pick.block], pick.face);
    if (findBlock(document_, x, y, z) >= 0) return {false, "that place is taken"};
    beginEdit();
    DocumentBlock added{x, y, z, {}};
    int cleared = 0;
    for (int d = 0; d < 6; ++d) {
        const auto [nx, ny, nz] = beside(added, d);
        const int n = findBlock(document_, nx, ny, nz);
        if (n < 0) continue;
        int& covered = document_.blocks[n].decals[opposite(d)];
        if (covered != Decal::Plain) ++cleared;
        covered = Decal::Plain;
    }
    document_.blocks.push_back(added);
    std::string message = "added block " + positionText(added);
    if (cleared) message += "; the decal(s) it covers are gone";
    return {true, message};
}

EditResult LevelEditor::removeBlock(const FacePick& pick) {
    if (!validPick(document_, pick)) return {false, "no block picked"};
    const DocumentBlock& b = document_.blocks[pick.block];
    if (isOrigin(b)) return {false, "the block at the origin stays: every level starts there"};
    if (!connectedToOrigin(document_, pick.block))
        return {false, "block " + positionText(b) + " holds other blocks to the origin; remove them first"};
    const std::string where = positionText(b);
    beginEdit();
    document_.blocks.erase(document_.blocks.begin() + pick.block);
    return {true, "removed block " + where};
}

EditResult LevelEditor::setDecal(const FacePick& pick, Decal decal) {
    if (!validPick(document_, pick)) return {false, "no face picked"};
    const DocumentBlock& b = document_.blocks[pick.block];
    const auto [nx, ny, nz] = beside(b, pick.face);
    if (decal != Decal::Plain && findBlock(document_, nx, ny, nz) >= 0) return {false, "that face is covered"};
    int goals = 0;
    for (const DocumentBlock& other : document_.blocks)
        goals += int(std::count(std::begin(other.decals), std::end(other.decals), int(Decal::Goal)));
    const bool onlyGoalHere = decal == Decal::Goal && b.decals[pick.face] == Decal::Goal && goals == 1;
    if ((decal != Decal::Goal && b.decals[pick.face] == decal) || onlyGoalHere)
        return {false, std::string("the face has that ") + decalName(decal) + " already"};
    beginEdit();
    if (decal == Decal::Goal)
        for (DocumentBlock& other : document_.blocks)
            for (int& d : other.decals)
                if (d == Decal::Goal) d = Decal::Plain;
    DocumentBlock& target = document_.blocks[pick.block];
    target.decals[pick.face] = decal;
    const std::string where = positionText(target) + " " + faceWord(pick.face);
    if (decal == Decal::Plain) return {true, "cleared " + where};
    return {true, std::string(decalName(decal)) + " on " + where};
}

EditResult LevelEditor::nudge(Nudge what, int component, float delta) {
    if (component < 0 || component > 2) return {false, "no such component"};
    float* values[3][3] = {
        {&document_.ambientColor.x, &document_.ambientColor.y, &document_.ambientColor.z},
        {&document_.lightColor.x, &document_.lightColor.y, &document_.lightColor.z},
        {&document_.lightPosition.x, &document_.lightPosition.y, &document_.lightPosition.z}};
    const int row = static_cast<int>(what);
    const float old = *values[row][component];
    float value = old + delta;
    if (what != Nudge::LightPosition) value = std::clamp(value, 0.0f, 1.0f);
    static const char* const names[3] = {"ambient colour", "light colour", "light position"};
    static const char* const parts[2][3] = {{"r", "g", "b"}, {"x", "y", "z"}};
    const std::string name = std::string(names[row]) + " " + parts[what == Nudge::LightPosition][component];
    if (value == old) return {false, name + " stays at " + shortNumber(old)};
    beginEdit(1 + row * 3 + component);
    *values[row][component] = value;
    return {true, name + " " + shortNumber(value)};
}

EditResult LevelEditor::setNextLevel(const std::string& name) {
    if (!isPlainLevelName(name))
        return {false, "a level name has 1 to 26 letters, digits, '.', '-' or '_'"};
    if (name == document_.next) return {false, "next level is " + name + " already"};
    beginEdit();
    document_.next = name;
    return {true, "next level is " + name};
}

bool LevelEditor::undo() {
    if (undo_.empty()) return false;
    redo_.push_back({std::move(document_), revision_});
    document_ = std::move(undo_.back().document);
    revision_ = undo_.back().revision;
    undo_.pop_back();
    lastMergeKey_ = 0;
    return true;
}

bool LevelEditor::redo() {
    if (redo_.empty()) return false;
    undo_.push_back({std::move(document_), revision_});
    document_ = std::move(redo_.back().document);
    revision_ = redo_.back().revision;
    redo_.pop_back();
    lastMergeKey_ = 0;
    return true;
}
