// Feeds arbitrary text to the MD5 mesh parser, reference checks, bind pose and normals.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "assets/md5_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MD5Model model;
    try {
        model.loadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const MD5Model::Exception&) {
    }
    return 0;
}
