#pragma once
// TGA decoding: the image files behind every mipmapped texture.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A decoded image, rows stored bottom row first (row 0 is the image's bottom
// row, as OpenGL wants texture row 0).
struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;  // 1 grey, 2 grey+alpha, 3 RGB, 4 RGBA
    std::vector<std::uint8_t> pixels;
};

// Decodes a TGA file held in memory. Only TGA is accepted; anything else,
// truncated data or absurd sizes give false and leave `out` empty.
bool decodeTga(const std::uint8_t* data, std::size_t size, Image& out);
bool readTgaFile(const std::string& path, Image& out);

// Returns the next smaller mipmap level of `img`: width and height halved
// (rounded down, at least 1), each pixel the rounded mean of the up to 2 x 2
// pixels it covers, channel by channel.
Image halveImage(const Image& img);
