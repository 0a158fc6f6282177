// Frame cost of the real game in its window: a frame that only clears and
// swaps (the floor), and whole frames of the first level, with the shadow
// pass, the main pass and the game logic timed apart (each pass is closed
// with glFinish). Needs a display and data/ as the working directory;
// bench/run_frame_bench.sh provides both.
#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <iostream>

#include "app/game.h"
#include "app/main_loop.h"
#include "platform/window.h"
#include "render/scene.h"

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// Returns the CPU seconds used so far by every thread of the process (the
// software rasteriser's included): under a loaded machine a steadier cost
// measure than wall time.
double processCpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec); };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void perFrameCpu(benchmark::State& state, double cpuStart) {
    const double frames = static_cast<double>(state.iterations());
    state.counters["cpu_ms_per_frame"] = frames > 0.0 ? 1000.0 * (processCpu() - cpuStart) / frames : 0.0;
}

void rate(benchmark::State& state, const char* name, double count) {
    state.counters[name] = benchmark::Counter(count, benchmark::Counter::kIsRate);
}

void share(benchmark::State& state, const char* name, double part, double whole) {
    state.counters[name] = whole > 0.0 ? part / whole : 0.0;
}

void BM_ClearAndSwap(benchmark::State& state) {
    const double cpuStart = processCpu();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        platform::swapBuffers();
        glFinish();
    }
    rate(state, "fps", static_cast<double>(state.iterations()));
    perFrameCpu(state, cpuStart);
}
BENCHMARK(BM_ClearAndSwap)->UseRealTime()->Unit(benchmark::kMillisecond);

// One pass of the main loop: an update step, then the render step (which
// runs the second update step). The logic share counts the first update
// step twice, standing in for the one inside the render step.
void BM_FirstLevelFrame(benchmark::State& state) {
    PassTimes passes;
    passTimes = &passes;
    double logic = 0.0, shadow = 0.0, main = 0.0, total = 0.0;
    const double cpuStart = processCpu();
    for (auto _ : state) {
        const double start = now();
        updateStep();
        const double updated = now();
        renderStep();
        glFinish();
        const double end = now();
        logic += 2.0 * (updated - start);
        shadow += passes.shadow;
        main += passes.main;
        total += end - start;
    }
    passTimes = nullptr;
    rate(state, "fps", static_cast<double>(state.iterations()));
    perFrameCpu(state, cpuStart);
    share(state, "shadow_share", shadow, total);
    share(state, "main_share", main, total);
    share(state, "logic_share", logic, total);
    share(state, "other_share", total - shadow - main - logic, total);
}
BENCHMARK(BM_FirstLevelFrame)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    startUp();
    if (!game || !game->level) {
        std::cout << "frame_bench: no level after start-up" << std::endl;
        return 1;
    }
    // Roll, so the logic runs, and let the start-up messages expire.
    game->onSpace();
    for (const double until = now() + 2.5; now() < until;) {
        updateStep();
        renderStep();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return shutDown();
}
