#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "assets/bitmap_font.h"
#include "log/console.h"

namespace {

void putInt(std::vector<std::uint8_t>& out, std::int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}

void putFloat(std::vector<std::uint8_t>& out, float f) {
    std::int32_t bits;
    std::memcpy(&bits, &f, 4);
    putInt(out, bits);
}

// A font file of a 2x1 texture holding the glyphs first..last.
std::vector<std::uint8_t> fontFile(std::int32_t first, std::int32_t last, std::int32_t width = 2,
                                   std::int32_t height = 1) {
    std::vector<std::uint8_t> out;
    for (std::int32_t v : {0, width, height, first, last, 0}) putInt(out, v);
    for (std::int32_t c = first; c <= last; ++c)
        for (float f : {0.5f, 1.0f, 0.25f, 0.0f, 0.75f, 1.0f}) putFloat(out, f + static_cast<float>(c - first));
    for (int i = 0; i < width * height * 2; ++i) out.push_back(static_cast<std::uint8_t>(i));
    return out;
}

// A font of glyphs 'A'..'C': 'A' is 10 x 20 texels, 'B' 30 x 20, 'C' 5 x 20.
BitmapFont abcFont() {
    BitmapFont font;
    font.textureWidth = 100;
    font.textureHeight = 200;
    font.firstChar = 'A';
    font.lastChar = 'C';
    font.glyphs = {{0.1f, 0.1f, 0.0f, 0.0f, 0.1f, 0.1f}, {0.3f, 0.1f, 0.1f, 0.0f, 0.4f, 0.1f}, {0.05f, 0.1f, 0, 0, 0, 0}};
    return font;
}

}  // namespace

TEST(GlfFile, ParsesHeaderGlyphsAndTexels) {
    const std::vector<std::uint8_t> file = fontFile(32, 33);
    GlfFont font;
    ASSERT_TRUE(parseGlf(file.data(), file.size(), font));
    EXPECT_EQ(font.textureWidth, 2);
    EXPECT_EQ(font.firstChar, 32);
    ASSERT_EQ(font.glyphs.size(), 2u);
    EXPECT_EQ(font.glyphs[1].dx, 1.5f);
    EXPECT_EQ(font.glyphs[1].ty2, 2.0f);
    EXPECT_EQ(font.texels, (std::vector<std::uint8_t>{0, 1, 2, 3}));
}

TEST(GlfFile, RejectsTruncatedInconsistentAndAbsurdFiles) {
    GlfFont font;
    std::vector<std::uint8_t> file = fontFile(32, 33);
    for (std::size_t size = 0; size < file.size(); ++size)
        EXPECT_FALSE(parseGlf(file.data(), size, font)) << "size " << size;
    EXPECT_TRUE(font.glyphs.empty());

    const std::vector<std::vector<std::uint8_t>> bad = {
        fontFile(33, 32),          // last below first
        fontFile(32, 33, 0, 1),    // no texels
        fontFile(32, 33, 2, -1),   // negative height
        fontFile(32, 33, 9000, 1), // wider than any texture
    };
    for (const auto& f : bad) EXPECT_FALSE(parseGlf(f.data(), f.size(), font));

    // sizes that overflow 32-bit arithmetic are not trusted
    std::vector<std::uint8_t> huge = fontFile(32, 33);
    huge[16] = 0xff, huge[17] = 0xff, huge[18] = 0xff, huge[19] = 0x7f;  // last = INT_MAX
    huge[12] = 0x00, huge[13] = 0x00, huge[14] = 0x00, huge[15] = 0x80;  // first = INT_MIN
    EXPECT_FALSE(parseGlf(huge.data(), huge.size(), font));
}

TEST(GlfFile, ShippedFontHoldsPrintableAscii) {
    GlfFont font;
    ASSERT_TRUE(readGlfFile("arial.glf", font));
    EXPECT_LE(font.firstChar, ' ');
    EXPECT_GE(font.lastChar, '~');
    EXPECT_FALSE(readGlfFile("missing.glf", font));
}

TEST(TextLayout, BuildsQuadsAndAdvancesByGlyphWidth) {
    const BitmapFont font = abcFont();
    const std::vector<GlyphQuad> quads = layoutText("AxB", font, 0.01f, -1.0f, 0.5f);
    ASSERT_EQ(quads.size(), 2u);  // 'x' is outside the font: skipped without moving the pen
    const GlyphQuad& a = quads[0];
    const float gh = 200 * 0.1f * 0.01f;
    const float expectedA[16] = {-1, 0.5f, 0, 1, -1, 0.5f - gh, 0, 1, -0.9f, 0.5f - gh, 0, 1, -0.9f, 0.5f, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(a.positions[i], expectedA[i]) << i;
    const float texA[8] = {0.0f, 0.0f, 0.0f, 0.1f, 0.1f, 0.1f, 0.1f, 0.0f};
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(a.texCoords[i], texA[i]) << i;
    EXPECT_FLOAT_EQ(quads[1].positions[0], -0.9f);
    EXPECT_FLOAT_EQ(quads[1].positions[8], -0.6f);
}

TEST(TextLayout, EmptyTextAndUnloadedFontDrawNothing) {
    EXPECT_TRUE(layoutText("", abcFont(), 1, 0, 0).empty());
    EXPECT_TRUE(layoutText("ABC", BitmapFont{}, 1, 0, 0).empty());
    EXPECT_TRUE(layoutText("\xc1\x80", abcFont(), 1, 0, 0).empty());  // bytes above 127 are negative codes
}

TEST(ScreenMessages, AgeTogetherAndExactlyZeroStaysOneMoreStep) {
    std::vector<ScreenMessage> messages = {{"a", 2.0}, {"b", 2.0}, {"c", 2.0}};
    ageMessages(messages, 1.5);
    messages.push_back({"d", 2.0});
    ageMessages(messages, 0.5);
    ASSERT_EQ(messages.size(), 4u);  // exactly 0 left: still shown
    EXPECT_EQ(messages[0].remaining, 0.0);
    ageMessages(messages, 0.25);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "d");
}

TEST(ScreenMessages, ShowMessagePrintsAtOnceAndQueuesACopy) {
    BitmapFont local;
    BitmapFont* saved = font;
    font = &local;
    ConsoleCapture captured;
    {
        std::string text = "Mipmapping is OFF";
        showMessage(text.c_str());
    }
    updateMessages(1.0);
    font = saved;
    EXPECT_EQ(captured.text(), "Mipmapping is OFF\n");
    ASSERT_EQ(local.messages.size(), 1u);
    EXPECT_EQ(local.messages[0].text, "Mipmapping is OFF");
    EXPECT_EQ(local.messages[0].remaining, 1.0);
}
