// The content readers through the path the game reads its files by: the
// input becomes a file in a scratch content folder, or a folder or a FIFO in
// its place (the first byte picks the reader, the second what is there), and
// the reader of that kind takes it. Nothing may block, throw or crash.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "assets/bitmap_font.h"
#include "assets/md5_model.h"
#include "assets/shader.h"
#include "assets/tga.h"
#include "log/console.h"
#include "world/level.h"

namespace fs = std::filesystem;

namespace {

const fs::path& scratch() {
    static const fs::path dir = [] {
        std::string pattern = (fs::temp_directory_path() / "tumbix-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        fs::create_directories(fs::path(pattern) / "maps");
        return fs::path(pattern);
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    ConsoleSilence quiet;
    static const char* const names[5] = {"maps/fuzz.xml", "model.md5mesh", "texture.tga", "font.glf", "shader.vert"};
    const int reader = data[0] % 5;
    const fs::path file = scratch() / names[reader];
    std::error_code ignored;
    fs::remove_all(file, ignored);
    switch (data[1] % 4) {
    case 0:
        fs::create_directory(file, ignored);
        break;
    case 1:
        ::mkfifo(file.c_str(), 0600);
        break;
    case 2:
        break;  // missing
    default:
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(data + 2),
                                                    static_cast<std::streamsize>(size - 2));
    }
    switch (reader) {
    case 0:
        loadLevel(scratch(), "fuzz.xml");
        break;
    case 1:
        try {
            MD5Model model;
            model.loadFile(file.c_str());
        } catch (const MD5Model::Exception&) {
        }
        break;
    case 2: {
        Image image;
        readTgaFile(file.string(), image);
        break;
    }
    case 3: {
        GlfFont font;
        readGlfFile(file.c_str(), font);
        break;
    }
    default:
        readShaderSource(file.c_str());
    }
    return 0;
}
