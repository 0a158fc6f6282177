#include <gtest/gtest.h>

#include "platform/window.h"

// The window for the game's 1280 x 1024 frames on common screens.
TEST(FitWindow, HoldsTheFrameWhereItFitsElseTheLargestOfItsShape) {
    struct Case {
        platform::WindowSize area, decorations, expected;
    };
    const Case cases[] = {
        {{1280, 1024}, {0, 0}, {1280, 1024}},    // exactly the frame
        {{2560, 1440}, {10, 40}, {1280, 1024}},  // room to spare
        {{1366, 768}, {0, 0}, {960, 768}},       // a laptop: the height decides
        {{1920, 1080}, {0, 0}, {1280, 1024}},
        {{1920, 1040}, {4, 30}, {1262, 1010}},  // a panel and a title bar take 70 rows
        {{1024, 600}, {0, 0}, {750, 600}},
        {{1000, 2000}, {0, 0}, {1000, 800}},    // a portrait screen: the width decides
        {{1284, 1054}, {4, 30}, {1280, 1024}},  // just holds it
        {{1284, 1053}, {4, 30}, {1278, 1023}},  // one row short
        {{0, 0}, {0, 0}, {1280, 1024}},         // no monitor known: as before
        {{20, 20}, {30, 30}, {1, 1}},           // decorations larger than the screen
    };
    for (const Case& c : cases) {
        const platform::WindowSize got = platform::fitWindow({1280, 1024}, c.area, c.decorations);
        EXPECT_EQ(got.width, c.expected.width) << c.area.width << "x" << c.area.height;
        EXPECT_EQ(got.height, c.expected.height) << c.area.width << "x" << c.area.height;
    }
}
