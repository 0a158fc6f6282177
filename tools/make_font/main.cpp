// Bakes a TrueType font into the game's ".glf" bitmap font format:
//   make_font <font.ttf> <out.glf> [pixel size]
// Printable ASCII (32..126), one cell per character as wide as its advance
// and as high as the font's line, white texels whose alpha is the coverage.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <fstream>
#include <vector>

namespace {

constexpr int kFirstChar = 32;
constexpr int kLastChar = 126;
constexpr int kTextureWidth = 256;
constexpr int kPadding = 1;  // empty texels between cells against filter bleeding

struct Cell {
    int x = 0, y = 0, width = 0;
};

void putInt32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putFloat(std::vector<std::uint8_t>& out, float f) {
    std::uint32_t bits;
    static_assert(sizeof bits == sizeof f);
    std::memcpy(&bits, &f, sizeof bits);
    putInt32(out, bits);
}

int nextPowerOfTwo(int v) {
    int p = 1;
    while (p < v) p *= 2;
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <font.ttf> <out.glf> [pixel size]\n", argv[0]);
        return 2;
    }
    const int pixelSize = argc > 3 ? std::atoi(argv[3]) : 22;
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, argv[1], 0, &face) ||
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize))) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    const int ascent = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
    const int descent = static_cast<int>(std::ceil(-face->size->metrics.descender / 64.0));
    const int lineHeight = ascent + descent;

    // place the cells row by row
    std::vector<Cell> cells;
    int penX = kPadding, penY = kPadding;
    for (int c = kFirstChar; c <= kLastChar; ++c) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_DEFAULT)) return 1;
        const int width = std::max(1, static_cast<int>(std::lround(face->glyph->advance.x / 64.0)));
        if (penX + width + kPadding > kTextureWidth) {
            penX = kPadding;
            penY += lineHeight + kPadding;
        }
        cells.push_back(Cell{penX, penY, width});
        penX += width + kPadding;
    }
    const int textureHeight = nextPowerOfTwo(penY + lineHeight + kPadding);

    // luminance 255 everywhere, alpha = coverage; image row 0 is texture row 0
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(kTextureWidth) * textureHeight * 2, 0);
    for (std::size_t i = 0; i < texels.size(); i += 2) texels[i] = 255;
    for (int c = kFirstChar; c <= kLastChar; ++c) {
        const Cell& cell = cells[static_cast<std::size_t>(c - kFirstChar)];
        if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER)) return 1;
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row) {
            const int y = ascent - g->bitmap_top + static_cast<int>(row);
            if (y < 0 || y >= lineHeight) continue;
            for (unsigned col = 0; col < bm.width; ++col) {
                const int x = g->bitmap_left + static_cast<int>(col);
                if (x < 0 || x >= cell.width) continue;
                const std::size_t at = (static_cast<std::size_t>(cell.y + y) * kTextureWidth + cell.x + x) * 2;
                texels[at + 1] = bm.buffer[row * static_cast<unsigned>(bm.pitch) + col];
            }
        }
    }

    std::vector<std::uint8_t> out;
    putInt32(out, 0);
    putInt32(out, kTextureWidth);
    putInt32(out, static_cast<std::uint32_t>(textureHeight));
    putInt32(out, kFirstChar);
    putInt32(out, kLastChar);
    putInt32(out, 0);
    const float w = kTextureWidth, h = static_cast<float>(textureHeight);
    for (const Cell& cell : cells) {
        putFloat(out, cell.width / w);
        putFloat(out, lineHeight / h);
        putFloat(out, cell.x / w);
        putFloat(out, cell.y / h);
        putFloat(out, (cell.x + cell.width) / w);
        putFloat(out, (cell.y + lineHeight) / h);
    }
    out.insert(out.end(), texels.begin(), texels.end());

    std::ofstream file(argv[2], std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%s: %dx%d texels, line height %d, characters %d..%d\n", argv[2], kTextureWidth, textureHeight,
                lineHeight, kFirstChar, kLastChar);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return 0;
}
