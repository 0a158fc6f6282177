// Feeds arbitrary bytes to the font file reader and lays out every byte value with the result.
#include <cstddef>
#include <cstdint>

#include "assets/bitmap_font.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    GlfFont file;
    if (!parseGlf(data, size, file)) return 0;
    BitmapFont font;
    font.adopt(file);
    char text[256];
    for (int i = 0; i < 255; ++i) text[i] = static_cast<char>(i + 1);
    text[255] = '\0';
    layoutText(text, font, 0.001f, -0.99f, 0.7f);
    return 0;
}
