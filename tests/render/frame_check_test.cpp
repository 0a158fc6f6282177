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

TEST(FrameCheck, DifferingPixelsAtTheSameDepthAreTies) {
    using Bytes = std::vector<std::uint8_t>;
    using Depth = std::vector<std::uint32_t>;
    const Bytes two{1, 2, 3, 255, 5, 6, 7, 255};
    const Bytes firstChanged{9, 2, 3, 255, 5, 6, 7, 255};
    const Bytes bothChanged{9, 2, 3, 255, 5, 6, 0, 255};
    struct Case {
        const char* what;
        Bytes b;
        Depth depthA, depthB;
        std::size_t differing, ties;
    };
    const Case cases[] = {
        {"same colour, other depth: no difference", two, {7, 8}, {7, 9}, 0, 0},
        {"other colour at the same depth: a tie", firstChanged, {7, 8}, {7, 8}, 1, 1},
        {"other colour at another depth: no tie", firstChanged, {7, 8}, {60, 8}, 1, 0},
        {"one of each", bothChanged, {7, 8}, {7, 30}, 2, 1},
        {"within the rounding: a tie", firstChanged, {700, 8}, {704, 8}, 1, 1},
        {"past the rounding: no tie", firstChanged, {700, 8}, {705, 8}, 1, 0},
        {"no depth read: no ties", bothChanged, {}, {}, 2, 0},
    };
    for (const Case& c : cases) {
        const FrameDifference d = compareFrames(two, c.b, c.depthA, c.depthB, 4);
        EXPECT_EQ(d.differing, c.differing) << c.what;
        EXPECT_EQ(d.ties, c.ties) << c.what;
    }
}
