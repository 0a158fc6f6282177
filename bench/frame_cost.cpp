// One moment of play of the level "level0.xml" of the working directory,
// drawn again and again: the game is started, Space pressed, and the rules
// advanced by a fixed number of 1/120 s steps, so every run draws the same
// frame. bench/cost runs it under callgrind, which counts the instructions
// spent in measuredFrame (with LP_NUM_THREADS=0 the software rasteriser
// works inside that call): a cost figure that does not move with the load
// of the machine, for comparing two versions of the drawing.
//
// Usage (from a data folder): frame_cost [STEPS [FRAMES]]   defaults 240 3
#include <GL/glew.h>

#include <cstdlib>
#include <iostream>

#include "app/main_loop.h"
#include "rules/game.h"

// Kept out of line: callgrind switches its counting on and off at this name.
[[gnu::noinline]] void measuredFrame() {
    drawFrame();
    glFinish();
}

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
    return shutDown();
}
