#include "editor/level_document.h"

#include <filesystem>

#include "files/content_file.h"
#include "files/safe_save.h"
#include "log/console.h"
#include "world/level.h"

namespace fs = std::filesystem;

int findBlock(const LevelDocument& document, int x, int y, int z) {
    for (std::size_t i = 0; i < document.blocks.size(); ++i) {
        const DocumentBlock& b = document.blocks[i];
        if (b.x == x && b.y == y && b.z == z) return static_cast<int>(i);
    }
    return -1;
}

bool sameDocument(const LevelDocument& a, const LevelDocument& b) {
    // the written text holds every field, numbers as the shortest exact text
    return writeLevelText(a) == writeLevelText(b);
}

LevelDocument newLevelDocument() {
    LevelDocument document;
    document.next = "level0.xml";
    document.blocks.push_back({});
    return document;
}

namespace {

// Returns the text of the comment that leads the file (after the XML
// declaration), trimmed; "" when there is none.
std::string leadingComment(const std::string& text) {
    std::size_t at = 0;
    const auto skipBlanks = [&] { at = text.find_first_not_of(" \t\r\n", at); };
    skipBlanks();
    if (at != std::string::npos && text.compare(at, 2, "<?") == 0) {
        at = text.find("?>", at);
        if (at == std::string::npos) return "";
        at += 2;
        skipBlanks();
    }
    if (at == std::string::npos || text.compare(at, 4, "<!--") != 0) return "";
    const std::size_t end = text.find("-->", at + 4);
    if (end == std::string::npos) return "";
    const std::string inner = text.substr(at + 4, end - at - 4);
    const std::size_t first = inner.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return inner.substr(first, inner.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

OpenedLevel openLevelDocument(const std::string& path) {
    OpenedLevel opened;
    std::error_code error;
    if (!fs::exists(path, error) && !error) {
        opened.status = OpenedLevel::Status::Created;
        opened.document = newLevelDocument();
        opened.lines = {"new level " + path};
        return opened;
    }
    const ContentFile file = readContentFile(path, ContentKind::Level);
    if (!file.ok()) {
        opened.lines = {"cannot read " + path + ": " + file.why};
        return opened;
    }
    const std::string& text = file.text;
    ConsoleCapture capture;
    const std::unique_ptr<Level> level = loadLevelFromText(fs::path(path).filename().string().c_str(), text);
    opened.lines = capture.lines();
    if (!level) return opened;
    opened.status = OpenedLevel::Status::Opened;
    opened.document = levelTextOf(*level, leadingComment(text));
    return opened;
}

std::string saveLevelDocument(const LevelDocument& document, const std::string& path) {
    return saveFileSafely(path, writeLevelText(document)).error;
}
