// Feeds arbitrary bytes to the TGA decoder behind every mipmapped texture.
#include <cstddef>
#include <cstdint>

#include "platform/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::Image image;
    if (platform::decodeTga(data, size, image)) {
        volatile std::uint8_t sink = image.pixels.empty() ? 0 : image.pixels.back();
        (void)sink;
    }
    return 0;
}
