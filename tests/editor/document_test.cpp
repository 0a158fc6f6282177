// Opening, saving and the round trip of levels through the editor.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/level_document.h"
#include "log/console.h"
#include "world/level.h"

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Returns a fresh empty folder for one test.
fs::path scratch(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("tumbix-editor-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// The level a file loads to, with the loader's lines.
struct Loaded {
    std::unique_ptr<Level> level;
    std::vector<std::string> lines;
};
Loaded load(const std::string& text) {
    ConsoleCapture capture;
    Loaded l;
    l.level = loadLevelFromText("level.xml", text);
    l.lines = capture.lines();
    return l;
}

}  // namespace

class LevelDocumentFiles : public ::testing::Test {};

TEST_F(LevelDocumentFiles, EveryShippedLevelComesBackTheSameAfterOpeningAndSaving) {
    const fs::path dir = scratch("roundtrip");
    int levels = 0;
    for (const char* folder : {TUMBIX_DATA_DIR "/maps", TUMBIX_SOURCE_DIR "/tests/levels/maps"}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() != ".xml") continue;
            SCOPED_TRACE(entry.path().string());
            ++levels;
            const OpenedLevel opened = openLevelDocument(entry.path().string());
            ASSERT_EQ(opened.status, OpenedLevel::Status::Opened);
            const fs::path saved = dir / entry.path().filename();
            ASSERT_EQ(saveLevelDocument(opened.document, saved.string()), "");

            const Loaded before = load(readFile(entry.path()));
            const Loaded after = load(readFile(saved));
            ASSERT_TRUE(before.level && after.level);
            const Level& a = *before.level;
            const Level& b = *after.level;
            EXPECT_TRUE(sameDocument(levelTextOf(a), levelTextOf(b)));  // blocks in order, decals, colours, light, next
            EXPECT_EQ(a.rootIndex, b.rootIndex);
            EXPECT_EQ(a.goalIndex, b.goalIndex);
            EXPECT_EQ(a.collectableCount, b.collectableCount);
            for (std::size_t i = 0; i < a.blocks.size(); ++i)
                for (int f = 0; f < 6; ++f)
                    for (int d = 0; d < 6; ++d) EXPECT_EQ(a.blocks[i]->edges[f][d], b.blocks[i]->edges[f][d]);
            // saved again, the text does not change; the file's comment stays
            const OpenedLevel again = openLevelDocument(saved.string());
            EXPECT_EQ(writeLevelText(again.document), readFile(saved));
            EXPECT_EQ(again.document.comment, opened.document.comment);
        }
    }
    EXPECT_GE(levels, 16);
    EXPECT_EQ(openLevelDocument(TUMBIX_DATA_DIR "/maps/level0.xml").document.comment,
              "roll ahead, collect the synapse, reach the goal (rows)");
    fs::remove_all(dir);
}

TEST_F(LevelDocumentFiles, AMissingFileIsANewLevelThatSavesToAWinnableShapeOfFile) {
    const fs::path dir = scratch("new");
    const fs::path file = dir / "fresh.xml";
    const OpenedLevel opened = openLevelDocument(file.string());
    EXPECT_EQ(opened.status, OpenedLevel::Status::Created);
    EXPECT_FALSE(fs::exists(file));  // nothing is written by opening
    ASSERT_EQ(opened.document.blocks.size(), 1u);
    ASSERT_EQ(saveLevelDocument(opened.document, file.string()), "");
    const Loaded l = load(readFile(file));
    ASSERT_TRUE(l.level);
    EXPECT_EQ(l.lines, (std::vector<std::string>{"next level is level0.xml", "Level consists of 1 blocks",
                                                  "ERROR: This level doesn't have a goal!"}));
    EXPECT_FALSE(fs::exists(dir / "fresh.xml.saving"));
    fs::remove_all(dir);
}

TEST_F(LevelDocumentFiles, FilesTheLoaderRefusesOpenNothingAndStayAsTheyAre) {
    const fs::path dir = scratch("bad");
    const struct {
        const char* name;
        const char* text;
        const char* line;
    } cases[] = {
        {"notxml.xml", "this is not a level", "Loading file notxml.xml failed!"},
        {"noorigin.xml",
         "<map next=\"a.xml\"><level r=\"0\" g=\"0\" b=\"0\"><light x=\"0\" y=\"0\" z=\"0\" r=\"1\" g=\"1\" "
         "b=\"1\"/><block x=\"1\" y=\"0\" z=\"0\"/></level></map>",
         "ERROR: Block at position (0,0,0) is required!"},
        {"nonext.xml", "<map><level/></map>", "ERROR: level file has no next attribute"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir / c.name;
        std::ofstream(file) << c.text;
        const OpenedLevel opened = openLevelDocument(file.string());
        EXPECT_EQ(opened.status, OpenedLevel::Status::Refused);
        EXPECT_NE(std::find(opened.lines.begin(), opened.lines.end(), c.line), opened.lines.end());
        EXPECT_EQ(readFile(file), c.text);
    }
    const OpenedLevel folder = openLevelDocument(dir.string());
    EXPECT_EQ(folder.status, OpenedLevel::Status::Refused);
    EXPECT_EQ(folder.lines, std::vector<std::string>{"cannot read " + dir.string() + ": is a directory"});
    fs::remove_all(dir);
}

TEST_F(LevelDocumentFiles, ASaveThatCannotBeWrittenSaysWhyAndLeavesTheOldFile) {
    const fs::path dir = scratch("readonly");
    const fs::path file = dir / "kept.xml";
    std::ofstream(file) << "old";
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    const bool enforced = !std::ofstream(dir / "probe");  // root may write anyway
    const std::string error = saveLevelDocument(newLevelDocument(), file.string());
    if (enforced) {
        EXPECT_EQ(error.rfind("cannot save " + file.string() + ": ", 0), 0u) << error;
        EXPECT_EQ(readFile(file), "old");
    }
    fs::permissions(dir, fs::perms::owner_all);
    const std::string missing = saveLevelDocument(newLevelDocument(), (dir / "no" / "such.xml").string());
    EXPECT_EQ(missing, "cannot save " + (dir / "no" / "such.xml").string() + ": No such file or directory");
    fs::remove_all(dir);
}
