// Frame cost of the real game in its window on the level "level0.xml" of
// the working directory, with the shadow pass, the main pass and the game
// logic timed apart (each pass is closed with glFinish, so the passes do not
// overlap as they do in play). Needs a display and a data folder as the
// working directory; bench/fps provides both, once per shipped level.
#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <iostream>

#include "app/main_loop.h"
#include "platform/window.h"
#include "render/scene.h"
#include "rules/game.h"

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

void rate(benchmark::State& state, const char* name, double count) {
    state.counters[name] = benchmark::Counter(count, benchmark::Counter::kIsRate);
}

// Reports `seconds` summed over the run as milliseconds per frame.
void perFrameMs(benchmark::State& state, const char* name, double seconds) {
    const double frames = static_cast<double>(state.iterations());
    state.counters[name] = frames > 0.0 ? 1000.0 * seconds / frames : 0.0;
}

// One pass of the main loop: an update step, then the render step (which
// runs the second update step). The logic share counts the first update
// step twice, standing in for the one inside the render step. "other" is
// the text, the HUD and the presentation.
void BM_LevelFrame(benchmark::State& state) {
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
    perFrameMs(state, "cpu_ms", processCpu() - cpuStart);
    perFrameMs(state, "shadow_ms", shadow);
    perFrameMs(state, "main_ms", main);
    perFrameMs(state, "logic_ms", logic);
    perFrameMs(state, "other_ms", total - shadow - main - logic);
}
BENCHMARK(BM_LevelFrame)->UseRealTime()->Unit(benchmark::kMillisecond);

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
