#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "assets/bitmap_font.h"
#include "assets/md5_model.h"
#include "assets/shader.h"
#include "assets/tga.h"
#include "files/content_file.h"
#include "log/console.h"
#include "world/level.h"

namespace fs = std::filesystem;

namespace {

// A scratch content folder with maps/, removed after each test.
class ContentFolder : public ::testing::Test {
protected:
    ContentFolder() {
        std::string pattern = (fs::temp_directory_path() / "tumbix-content-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder");
        root = pattern;
        fs::create_directories(root / "maps");
    }
    ~ContentFolder() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    // Puts a folder, a FIFO or nothing at `path`.
    enum class Node { Folder, Fifo };
    void place(const fs::path& path, Node node) {
        std::error_code ignored;
        fs::remove_all(path, ignored);
        if (node == Node::Folder) fs::create_directory(path);
        else ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    }

    fs::path root;
};

}  // namespace

TEST_F(ContentFolder, ReadsRegularFilesWholeAndRefusesEverythingElseWithoutWaiting) {
    const fs::path file = root / "a.txt";
    std::ofstream(file, std::ios::binary) << std::string("ab\0cd", 5);
    const ContentFile read = readContentFile(file.string(), ContentKind::Shader);
    EXPECT_TRUE(read.ok());
    EXPECT_EQ(read.text, std::string("ab\0cd", 5));

    const fs::path fifo = root / "fifo";
    place(fifo, Node::Fifo);
    // a big sparse file costs no disk
    const fs::path big = root / "big";
    std::ofstream{big};
    fs::resize_file(big, contentSizeLimit(ContentKind::Level) + 1);
    const struct {
        std::string path;
        ContentKind kind;
        std::string why;
        bool missing;
    } cases[] = {
        {root.string(), ContentKind::Level, "is a directory", false},
        {fifo.string(), ContentKind::Texture, "is a FIFO", false},  // no writer: would block a plain open
        {"/dev/zero", ContentKind::Level, "is a device", false},
        {(root / "none").string(), ContentKind::Font, "No such file or directory", true},
        {big.string(), ContentKind::Level, "is larger than 16777216 bytes", false},
        {"/proc/self/mem", ContentKind::Model, "read error: Input/output error", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const ContentFile refused = readContentFile(c.path, c.kind);
        EXPECT_EQ(refused.why, c.why);
        EXPECT_EQ(refused.missing, c.missing);
        EXPECT_TRUE(refused.text.empty());
        EXPECT_EQ(contentRefusal("x", refused), "ERROR: cannot read x: " + c.why);
    }
}

// Every reader of the game, handed a folder or a FIFO where its file should
// be: one line saying why, no exception, no wait, and the reader's own
// failure as for a broken file.
TEST_F(ContentFolder, EveryReaderRefusesAFolderOrAFifoInPlaceOfItsFile) {
    const struct {
        const char* name;
        std::function<bool(const fs::path&)> read;  // true when it took the file
        const char* failure;  // the reader's own line after the refusal, if any
    } readers[] = {
        {"maps/level.xml", [&](const fs::path&) { return loadLevel(root, "level.xml") != nullptr; },
         "Loading file level.xml failed!"},
        {"model.md5mesh",
         [](const fs::path& p) {
             try {
                 MD5Model model;
                 model.loadFile(p.c_str());
                 return true;
             } catch (const MD5Model::Exception& e) {
                 console() << e.what() << std::endl;
                 return false;
             }
         },
         nullptr},
        {"texture.tga",
         [](const fs::path& p) {
             Image image;
             return readTgaFile(p.string(), image);
         },
         nullptr},
        {"font.glf",
         [](const fs::path& p) {
             GlfFont font;
             return readGlfFile(p.c_str(), font);
         },
         nullptr},
        {"shader.vert", [](const fs::path& p) { return !readShaderSource(p.c_str()).empty(); }, nullptr},
    };
    for (const auto& reader : readers)
        for (const auto& [node, word] : {std::pair{Node::Folder, "is a directory"}, std::pair{Node::Fifo, "is a FIFO"}}) {
            SCOPED_TRACE(std::string(reader.name) + " " + word);
            const fs::path path = root / reader.name;
            place(path, node);
            ConsoleCapture capture;
            bool took = true;
            EXPECT_NO_THROW(took = reader.read(path));
            EXPECT_FALSE(took);
            const std::vector<std::string> lines = capture.lines();
            ASSERT_FALSE(lines.empty());
            EXPECT_NE(lines.front().find(word), std::string::npos) << lines.front();
            EXPECT_NE(lines.front().find(std::string(reader.name)), std::string::npos) << lines.front();
            if (reader.failure) {
                EXPECT_EQ(lines.back(), reader.failure);
            }
        }
}

TEST(ContentFile, TheShippedContentIsWithinEveryLimit) {
    const struct {
        const char* path;
        ContentKind kind;
    } files[] = {
        {"maps/level0.xml", ContentKind::Level},       {"models/brain.md5mesh", ContentKind::Model},
        {"textures/brain.tga", ContentKind::Texture},  {"arial.glf", ContentKind::Font},
        {"shader.frag", ContentKind::Shader},          {"sounds/daydreaming.mp3", ContentKind::Sound},
    };
    for (const auto& f : files) {
        const ContentFile read = readContentFile(std::string(TUMBIX_DATA_DIR) + "/" + f.path, f.kind);
        EXPECT_TRUE(read.ok()) << f.path << ": " << read.why;
        EXPECT_FALSE(read.text.empty()) << f.path;
    }
}
