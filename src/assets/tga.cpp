#include "assets/tga.h"

#include <algorithm>

#include "files/content_file.h"
#include "log/console.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 16384
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

// Returns whether a TGA header describes pixel data the file can hold. The
// decoder pads a short file with zeros, so without this a tiny file could
// claim a 16384 x 16384 image and cost gigabytes.
bool tgaFits(const std::uint8_t* data, std::size_t size) {
    const auto word = [&](int at) { return static_cast<std::size_t>(data[at] | (data[at + 1] << 8)); };
    const std::size_t idLength = data[0];
    const bool hasColorMap = data[1] != 0;
    const int type = data[2];
    const std::size_t mapBytes = hasColorMap ? word(5) * ((data[7] + 7u) / 8u) : 0;
    const std::size_t pixelBytes = (data[16] + 7u) / 8u;
    const std::size_t pixels = word(12) * word(14);
    const std::size_t start = 18 + idLength + mapBytes;
    if (start > size || pixelBytes == 0) return false;
    const std::size_t payload = size - start;
    if (type >= 9) return pixels <= payload / (1 + pixelBytes) * 128;  // at most 128 pixels a packet
    return pixels <= payload / pixelBytes;
}

}  // namespace

bool decodeTga(const std::uint8_t* data, std::size_t size, Image& out) {
    out = Image{};
    if (!data || size < 18 || size > 0x7fffffff || !tgaFits(data, size)) return false;
    int w = 0, h = 0, n = 0;
    // stb returns rows top first whatever the file's origin bit says; flip so
    // that row 0 is the bottom row.
    stbi_uc* px = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &n, 0);
    if (!px) return false;
    if (w <= 0 || h <= 0 || n < 1 || n > 4) {
        stbi_image_free(px);
        return false;
    }
    const std::size_t row = static_cast<std::size_t>(w) * n;
    out.width = w;
    out.height = h;
    out.channels = n;
    out.pixels.resize(row * h);
    for (int y = 0; y < h; ++y) {
        const stbi_uc* src = px + row * (h - 1 - y);
        std::copy(src, src + row, out.pixels.begin() + row * y);
    }
    stbi_image_free(px);
    return true;
}

bool readTgaFile(const std::string& path, Image& out) {
    out = Image{};
    const ContentFile file = readContentFile(path, ContentKind::Texture);
    if (!file.ok()) {
        if (!file.missing) console() << contentRefusal(path, file) << std::endl;
        return false;
    }
    return decodeTga(reinterpret_cast<const std::uint8_t*>(file.text.data()), file.text.size(), out);
}

Image halveImage(const Image& img) {
    Image out;
    out.width = std::max(img.width / 2, 1);
    out.height = std::max(img.height / 2, 1);
    out.channels = img.channels;
    const std::size_t n = static_cast<std::size_t>(img.channels);
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * n);
    if (img.width <= 0 || img.height <= 0 || img.pixels.size() < static_cast<std::size_t>(img.width) * img.height * n)
        return out;
    // A side of 1 stays 1: its pixels are not averaged along it.
    const int sx = img.width > 1 ? 2 : 1;
    const int sy = img.height > 1 ? 2 : 1;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            for (std::size_t c = 0; c < n; ++c) {
                unsigned sum = 0;
                for (int dy = 0; dy < sy; ++dy)
                    for (int dx = 0; dx < sx; ++dx) {
                        const std::size_t at =
                            (static_cast<std::size_t>(y * sy + dy) * img.width + static_cast<std::size_t>(x * sx + dx)) * n;
                        sum += img.pixels[at + c];
                    }
                const unsigned count = static_cast<unsigned>(sx * sy);
                out.pixels[(static_cast<std::size_t>(y) * out.width + x) * n + c] =
                    static_cast<std::uint8_t>((sum + count / 2) / count);
            }
    return out;
}
