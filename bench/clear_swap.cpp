// The floor of the frame rate: a window of the game's size and context kind
// that only clears and presents. Whatever a game frame costs above this is
// the game's own. Needs a display; bench/fps provides one.
#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <iostream>

#include "platform/window.h"

namespace {

void BM_ClearAndSwap(benchmark::State& state) {
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        platform::swapBuffers();
    }
    glFinish();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ClearAndSwap)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    platform::WindowHints hints;  // the game's first context request
    hints.noResize = true;
    hints.versionMajor = 3;
    hints.versionMinor = 2;
    hints.compatProfile = true;
    if (!platform::init() || !platform::openWindow(1280, 1024, 24, 8, hints)) {
        std::cout << "clear_swap: no window" << std::endl;
        return 1;
    }
    glClearColor(0.1f, 0.1f, 0.1f, 0.0f);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    platform::terminate();
    return 0;
}
