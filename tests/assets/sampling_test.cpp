#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>

#include "assets/bitmap_font.h"
#include "assets/sampling.h"
#include "assets/shader.h"
#include "log/console.h"

TEST(Sampling, FilterTable) {
    struct Row {
        bool bilinear;
        int mipmap;
        int mag, min;
    };
    const Row rows[] = {
        {false, 0, GL_NEAREST, GL_NEAREST},
        {true, 0, GL_LINEAR, GL_LINEAR},
        {false, 1, GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST},
        {true, 1, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
        {false, 2, GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR},
        {true, 2, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR},
    };
    for (const Row& r : rows) {
        const SamplingFilters f = samplingFilters(r.bilinear, r.mipmap);
        EXPECT_EQ(f.magFilter, r.mag) << r.bilinear << r.mipmap;
        EXPECT_EQ(f.minFilter, r.min) << r.bilinear << r.mipmap;
    }
}

TEST(Sampling, StartUpAnnouncesTrilinearOnConsoleAndScreenThenF5Cycles) {
    BitmapFont local;
    BitmapFont* saved = font;
    font = &local;
    ConsoleCapture captured;
    bilinearSampling = true;
    mipmapMode = 2;
    samplingChanged = false;
    applySamplingMode();
    for (int i = 0; i < 3; ++i) {  // F5 three times
        mipmapMode = (mipmapMode + 1) % 3;
        applySamplingMode();
    }
    bilinearSampling = false;  // F4
    applySamplingMode();
    font = saved;

    const char* bilinear = "Texture sampling by bilinear interpolation\n";
    const char* trilinear = "Mipmap sampling by linear interpolation\nOMG, enabling trilinear interpolation, this is awesome!!\n";
    EXPECT_EQ(captured.text(), std::string(bilinear) + trilinear + bilinear + "Mipmapping is OFF\n" + bilinear +
                                  "Mipmap sampling by nearest neighbour\n" + bilinear + trilinear +
                                  "Texture sampling by nearest neighbour\nMipmap sampling by linear interpolation\n");
    EXPECT_EQ(local.messages.size(), 12u);
    EXPECT_EQ(local.messages[2].text, "OMG, enabling trilinear interpolation, this is awesome!!");
    EXPECT_EQ(magFilter, GL_NEAREST);
    EXPECT_EQ(minFilter, GL_NEAREST_MIPMAP_LINEAR);
    EXPECT_TRUE(samplingChanged);
    bilinearSampling = true;
}

TEST(ShaderReport, LinesOfTheCompileAndLinkResults) {
    EXPECT_EQ(compileReport(35633, true, ""), "Shader of type 35633 loaded and compiled successfully.");
    EXPECT_EQ(compileReport(35632, false, "0:3(1): error: syntax error"),
              "Shader of type 35632 compile error:\n\n0:3(1): error: syntax error");
    EXPECT_EQ(compileReport(35632, false, ""), "Shader of type 35632 compile error:\n\n");
    EXPECT_EQ(linkReport(false, "no main"), "Shader-program link error:\n\nno main");
    EXPECT_EQ(readShaderSource("no such file.vert"), "");
}
