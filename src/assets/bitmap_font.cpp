#include "assets/bitmap_font.h"

#include <cstring>

#include "files/content_file.h"
#include "log/console.h"

BitmapFont* font = nullptr;

namespace {

constexpr std::size_t kHeaderSize = 24;

std::int32_t readInt32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 |
                                     static_cast<std::uint32_t>(p[3]) << 24);
}

float readFloat32(const std::uint8_t* p) {
    const std::uint32_t bits = static_cast<std::uint32_t>(readInt32(p));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

bool parseGlf(const std::uint8_t* data, std::size_t size, GlfFont& out) {
    out = GlfFont{};
    if (!data || size < kHeaderSize) return false;
    const std::int32_t width = readInt32(data + 4);
    const std::int32_t height = readInt32(data + 8);
    const std::int32_t first = readInt32(data + 12);
    const std::int32_t last = readInt32(data + 16);
    if (width < 1 || height < 1 || width > kMaxFontTextureSide || height > kMaxFontTextureSide) return false;
    const std::int64_t count = std::int64_t{last} - first + 1;
    if (count < 1 || count > kMaxFontGlyphs) return false;

    const std::uint64_t glyphBytes = static_cast<std::uint64_t>(count) * sizeof(Glyph);
    const std::uint64_t texelBytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 2;
    if (size < kHeaderSize + glyphBytes + texelBytes) return false;

    GlfFont font;
    font.textureWidth = width;
    font.textureHeight = height;
    font.firstChar = first;
    font.lastChar = last;
    font.glyphs.resize(static_cast<std::size_t>(count));
    const std::uint8_t* p = data + kHeaderSize;
    for (Glyph& g : font.glyphs) {
        float* fields[6] = {&g.dx, &g.dy, &g.tx1, &g.ty1, &g.tx2, &g.ty2};
        for (float* f : fields) {
            *f = readFloat32(p);
            p += 4;
        }
    }
    font.texels.assign(p, p + texelBytes);
    out = std::move(font);
    return true;
}

bool readGlfFile(const char* path, GlfFont& out) {
    out = GlfFont{};
    const std::string name = path ? path : "";
    const ContentFile file = readContentFile(name, ContentKind::Font);
    if (!file.ok()) {
        if (!file.missing) console() << contentRefusal(name, file) << std::endl;
        return false;
    }
    return parseGlf(reinterpret_cast<const std::uint8_t*>(file.text.data()), file.text.size(), out);
}

const Glyph* BitmapFont::glyphFor(int c) const {
    if (c < firstChar || c > lastChar) return nullptr;
    const std::size_t index = static_cast<std::size_t>(std::int64_t{c} - firstChar);
    return index < glyphs.size() ? &glyphs[index] : nullptr;
}

void BitmapFont::adopt(const GlfFont& file) {
    textureWidth = file.textureWidth;
    textureHeight = file.textureHeight;
    firstChar = file.firstChar;
    lastChar = file.lastChar;
    glyphs = file.glyphs;
}

std::vector<GlyphQuad> layoutText(const char* text, const BitmapFont& font, float scale, float x, float y) {
    std::vector<GlyphQuad> quads;
    if (!text) return quads;
    for (const char* p = text; *p; ++p) {
        const Glyph* g = font.glyphFor(static_cast<signed char>(*p));
        if (!g) continue;
        const float gw = static_cast<float>(font.textureWidth) * g->dx * scale;
        const float gh = static_cast<float>(font.textureHeight) * g->dy * scale;
        quads.push_back(GlyphQuad{
            {x, y, 0, 1, x, y - gh, 0, 1, x + gw, y - gh, 0, 1, x + gw, y, 0, 1},
            {g->tx1, g->ty1, g->tx1, g->ty2, g->tx2, g->ty2, g->tx2, g->ty1},
        });
        x += gw;
    }
    return quads;
}

void ageMessages(std::vector<ScreenMessage>& messages, double dt) {
    for (ScreenMessage& m : messages) m.remaining -= dt;
    std::erase_if(messages, [](const ScreenMessage& m) { return m.remaining < 0.0; });
}

void showMessage(const char* text) {
    if (!text) return;
    console() << text << std::endl;
    if (font) font->messages.push_back(ScreenMessage{text, 2.0});
}

void updateMessages(double dt) {
    if (font) ageMessages(font->messages, dt);
}
