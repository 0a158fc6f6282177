#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/frame_check.h"

TEST(FrameCheck, DifferingPixelsCountsPixelsNotBytes) {
    using Bytes = std::vector<std::uint8_t>;
    struct Case {
        const char* what;
        Bytes a, b;
        int channels;
        std::size_t differing;
    };
    const Case cases[] = {
        {"same", {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}, 4, 0},
        {"one byte", {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 9}, 4, 1},
        {"every channel of one pixel", {1, 2, 3, 4, 5, 6, 7, 8}, {9, 9, 9, 9, 5, 6, 7, 8}, 4, 1},
        {"alpha only", {0, 0, 0, 255, 0, 0, 0, 255}, {0, 0, 0, 254, 0, 0, 0, 255}, 4, 1},
        {"both pixels", {1, 2, 3, 4, 5, 6, 7, 8}, {0, 2, 3, 4, 5, 6, 0, 8}, 4, 2},
        {"three channels", {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 7}, 3, 1},
        {"missing pixels differ", {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4}, 4, 1},
        {"a partial pixel differs", {1, 2, 3, 4, 5}, {1, 2, 3, 4}, 4, 1},
        {"empty", {}, {}, 4, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(differingPixels(c.a, c.b, c.channels), c.differing) << c.what;
        EXPECT_EQ(differingPixels(c.b, c.a, c.channels), c.differing) << c.what << " (swapped)";
    }
}
