// One moment of play of the level "level0.xml" of the working directory,
// drawn again and again: the game is started, Space pressed, and the rules
// advanced by a fixed number of 1/120 s steps, so every run draws the same
// frame. bench/cost runs it under callgrind, which counts the instructions
// spent in measuredFrame (with LP_NUM_THREADS=0 the software rasteriser
// works inside that call): a cost figure that does not move with the load
// of the machine, for comparing two versions of the drawing.
//
// With OUT.ppm the last frame is also written there as a binary PPM (the
// window as presented), for comparing two versions of the look.
//
// Usage (from a data folder): frame_cost [STEPS [FRAMES [OUT.ppm]]]   defaults 240 3
#include <GL/glew.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <vector>

#include "app/main_loop.h"
#include "rules/game.h"

// Kept out of line: callgrind switches its counting on and off at this name.
[[gnu::noinline]] void measuredFrame() {
    drawFrame();
    glFinish();
}

namespace {

// Writes the presented window (1280 x 1024) as a binary PPM, top row first.
bool writeFrame(const char* path) {
    constexpr int width = 1280, height = 1024;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    glReadBuffer(GL_BACK);  // a software swap copies, and leaves the back buffer as it was
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (int row = height - 1; row >= 0; --row)
        out.write(reinterpret_cast<const char*>(rgb.data()) + static_cast<std::size_t>(row) * width * 3, width * 3);
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    const int steps = argc > 1 ? std::atoi(argv[1]) : 240;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 3;
    if (steps < 0 || frames < 1) {
        std::cerr << "usage: frame_cost [STEPS [FRAMES]]" << std::endl;
        return 2;
    }
    startUp();
    if (!game || !game->level) {
        std::cerr << "frame_cost: no level after start-up" << std::endl;
        return 1;
    }
    game->onSpace();
    for (int i = 0; i < steps; ++i) game->gameStep(1.0 / 120.0);
    // The first frames build the rasteriser's shader variants: not measured.
    for (int i = 0; i < 2; ++i) {
        drawFrame();
        glFinish();
    }
    for (int i = 0; i < frames; ++i) measuredFrame();
    std::cout << "measured frames: " << frames << std::endl;
    if (argc > 3 && !writeFrame(argv[3])) {
        std::cerr << "frame_cost: cannot write " << argv[3] << std::endl;
        return 1;
    }
    return shutDown();
}
