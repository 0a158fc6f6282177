// TGA decoding: orientation, run-length data, and files that lie about their size.
#include "assets/tga.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Returns an 18-byte TGA header of the given type, size, depth and descriptor.
Bytes header(int type, int width, int height, int bits, int descriptor = 0) {
    Bytes h(18, 0);
    h[2] = static_cast<std::uint8_t>(type);
    h[12] = width & 0xff, h[13] = width >> 8;
    h[14] = height & 0xff, h[15] = height >> 8;
    h[16] = static_cast<std::uint8_t>(bits);
    h[17] = static_cast<std::uint8_t>(descriptor);
    return h;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool decode(const Bytes& file, Image& out) { return decodeTga(file.data(), file.size(), out); }

}  // namespace

TEST(Tga, RowZeroIsTheBottomRowWhateverTheFileOrigin) {
    // 1 x 2 grey: the file stores the bottom row first (origin bottom-left)...
    Image image;
    ASSERT_TRUE(decode(header(3, 1, 2, 8) + Bytes{10, 20}, image));
    EXPECT_EQ(image.channels, 1);
    EXPECT_EQ(image.pixels, (Bytes{10, 20}));
    // ...or the top row first when descriptor bit 5 says so.
    ASSERT_TRUE(decode(header(3, 1, 2, 8, 0x20) + Bytes{10, 20}, image));
    EXPECT_EQ(image.pixels, (Bytes{20, 10}));
}

TEST(Tga, ColourChannelsComeOutAsRgbAndRgba) {
    Image image;
    ASSERT_TRUE(decode(header(2, 1, 1, 24) + Bytes{1, 2, 3}, image));  // stored as B, G, R
    EXPECT_EQ(image.channels, 3);
    EXPECT_EQ(image.pixels, (Bytes{3, 2, 1}));
    ASSERT_TRUE(decode(header(2, 1, 1, 32, 8) + Bytes{1, 2, 3, 4}, image));
    EXPECT_EQ(image.channels, 4);
    EXPECT_EQ(image.pixels, (Bytes{3, 2, 1, 4}));
}

TEST(Tga, RunLengthPacketsExpand) {
    // one run packet of 3 equal pixels and one raw packet of 1
    Image image;
    ASSERT_TRUE(decode(header(11, 4, 1, 8) + Bytes{0x82, 7, 0x00, 9}, image));
    EXPECT_EQ(image.pixels, (Bytes{7, 7, 7, 9}));
}

TEST(Tga, FilesTooShortForTheirPixelsAreRefused) {
    Image image;
    // a 20-byte file claiming 16384 x 16384 RGBA pixels (a gigabyte of zeros)
    EXPECT_FALSE(decode(header(2, 16384, 16384, 32) + Bytes{0, 0}, image));
    // the same in run-length form: two bytes cannot hold 268 million pixels
    EXPECT_FALSE(decode(header(10, 16384, 16384, 32) + Bytes{0xff, 0}, image));
    // one byte short of a 2 x 2 grey image
    EXPECT_FALSE(decode(header(3, 2, 2, 8) + Bytes{1, 2, 3}, image));
    // an image id longer than the file
    Bytes withId = header(3, 1, 1, 8) + Bytes{5};
    withId[0] = 200;
    EXPECT_FALSE(decode(withId, image));
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(image.width, 0);
}

TEST(Tga, OtherFormatsAndEmptyInputAreRefused) {
    Image image;
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1};
    EXPECT_FALSE(decode(png, image));
    EXPECT_FALSE(decodeTga(nullptr, 0, image));
    EXPECT_FALSE(decode(header(3, 0, 1, 8), image));  // no pixels at all
    EXPECT_FALSE(readTgaFile("no/such/file.tga", image));
}

TEST(Tga, ShippedTexturesDecode) {
    for (const char* path : {"textures/blocktexture.tga", "textures/brain.tga", "textures/metalframe2.tga",
                             "textures/synalpha.tga"}) {
        Image image;
        EXPECT_TRUE(readTgaFile(path, image)) << path;
        EXPECT_GT(image.width, 0) << path;
    }
}

TEST(Mipmaps, HalvingAveragesEachTwoByTwoBlockDownToOnePixel) {
    struct Case {
        const char* what;
        Image in;
        Image out;
    };
    const Case cases[] = {
        {"2x2 grey to its rounded mean", {2, 2, 1, {0, 1, 2, 2}}, {1, 1, 1, {1}}},
        {"channels kept apart", {2, 2, 2, {10, 200, 20, 200, 30, 0, 40, 0}}, {1, 1, 2, {25, 100}}},
        {"4x2 RGB", {4, 2, 3, {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255,
                                255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255}},
         {2, 1, 3, {255, 0, 0, 0, 0, 255}}},
        {"a row stays a row", {4, 1, 1, {0, 100, 200, 255}}, {2, 1, 1, {50, 228}}},
        {"a column stays a column", {1, 2, 1, {0, 255}}, {1, 1, 1, {128}}},
        {"odd sides drop the last column", {3, 2, 1, {0, 0, 90, 0, 0, 90}}, {1, 1, 1, {0}}},
    };
    for (const Case& c : cases) {
        const Image got = halveImage(c.in);
        EXPECT_EQ(got.width, c.out.width) << c.what;
        EXPECT_EQ(got.height, c.out.height) << c.what;
        EXPECT_EQ(got.channels, c.out.channels) << c.what;
        EXPECT_EQ(got.pixels, c.out.pixels) << c.what;
    }
}

TEST(Mipmaps, ChainOfAShippedTextureEndsAtOnePixelWithTheImageMean) {
    Image level;
    ASSERT_TRUE(readTgaFile(TUMBIX_DATA_DIR "/textures/blocktexture.tga", level));
    double sum = 0;
    for (std::size_t i = 0; i < level.pixels.size(); i += static_cast<std::size_t>(level.channels)) sum += level.pixels[i];
    const double mean = sum / (level.pixels.size() / static_cast<std::size_t>(level.channels));
    int levels = 1;
    while (level.width > 1 || level.height > 1) {
        level = halveImage(level);
        ++levels;
        ASSERT_LT(levels, 20);
    }
    EXPECT_GT(levels, 1);
    EXPECT_NEAR(level.pixels[0], mean, 2.0);  // not black: the chain keeps the picture's brightness
}
