#include "editor/level_document.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/thread_console.h"
#include "world/level.h"

namespace fs = std::filesystem;

bool DocumentBlock::operator==(const DocumentBlock& o) const {
    if (x != o.x || y != o.y || z != o.z) return false;
    for (int f = 0; f < 6; ++f)
        if (decals[f] != o.decals[f]) return false;
    return true;
}

int LevelDocument::find(int x, int y, int z) const {
    for (std::size_t i = 0; i < blocks.size(); ++i)
        if (blocks[i].x == x && blocks[i].y == y && blocks[i].z == z) return static_cast<int>(i);
    return -1;
}

bool LevelDocument::operator==(const LevelDocument& o) const {
    const auto same4 = [](const Vec4& a, const Vec4& b) { return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w; };
    return same4(ambientColor, o.ambientColor) && lightPosition == o.lightPosition &&
           same4(lightColor, o.lightColor) && nextLevel == o.nextLevel && blocks == o.blocks;
}

LevelDocument newLevelDocument() {
    LevelDocument document;
    document.blocks.push_back({});
    return document;
}

LevelDocument documentOf(const Level& level) {
    LevelDocument document;
    document.ambientColor = level.ambientColor;
    document.lightPosition = level.lightPosition;
    document.lightColor = level.lightColor;
    document.nextLevel = level.nextLevel;
    for (const Block* b : level.blocks) {
        DocumentBlock block{b->x, b->y, b->z, {}};
        for (int f = 0; f < 6; ++f)
            block.decals[f] = b->decals[f] == Decal::Collected ? Decal(Decal::Collectable) : b->decals[f];
        document.blocks.push_back(block);
    }
    return document;
}

OpenedLevel openLevelDocument(const std::string& path) {
    OpenedLevel opened;
    std::error_code error;
    if (!fs::exists(path, error) && !error) {
        opened.status = OpenedLevel::Status::Created;
        opened.document = newLevelDocument();
        opened.lines = {"new level " + path};
        return opened;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (fs::is_directory(path, error) || !(in && text << in.rdbuf())) {
        opened.lines = {"cannot read " + path};
        return opened;
    }
    ThreadCapture capture;
    const std::unique_ptr<Level> level = loadLevelFromText(fs::path(path).filename().string().c_str(), text.str());
    opened.lines = capture.lines();
    if (!level) return opened;
    opened.status = OpenedLevel::Status::Opened;
    opened.document = documentOf(*level);
    return opened;
}

std::string saveLevelDocument(const LevelDocument& document, const std::string& path) {
    const std::string text = levelDocumentText(document);
    const std::string temporary = path + ".saving";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return "cannot save " + path + ": " + std::strerror(errno);
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    const int writeError = errno;
    if (std::fclose(out) != 0 || !written) {
        const int why = written ? errno : writeError;
        std::remove(temporary.c_str());
        return "cannot save " + path + ": " + std::strerror(why);
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        return "cannot save " + path + ": " + error.message();
    }
    return "";
}
