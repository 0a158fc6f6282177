// Feeds arbitrary bytes to the TGA decoder behind every mipmapped texture.
#include <cstddef>
#include <cstdint>

#include "assets/tga.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Image image;
    if (decodeTga(data, size, image)) {
        volatile std::uint8_t sink = image.pixels.empty() ? 0 : image.pixels.back();
        (void)sink;
    }
    return 0;
}
