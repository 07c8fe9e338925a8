// What the platform layer costs per frame on the current GL driver: one
// switch to the off-screen buffer and back, and an empty frame (events,
// Timeline-less loop turn, picture scaled onto the window, swap).
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "gfx/offscreen_buffer.h"
#include "platform/platform.h"

namespace {

bool openWindowOnce() {
    static const bool open = [] {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        const bool ok = platform::startVideo() && platform::chooseSurfaceFormat() &&
                        platform::createWindow("bench", 800, 600, false) &&
                        platform::createWindowContext() && platform::activateWindowContext();
        if (!ok) {
            std::fprintf(stderr, "bench: no GL window: %s\n", platform::lastError().c_str());
            return false;
        }
        setUpOffscreenBuffer(offscreenBuffer);
        return true;
    }();
    return open;
}

void BM_ContextSwitchPair(benchmark::State& state) {
    if (!openWindowOnce()) {
        state.SkipWithError("no GL window");
        return;
    }
    for (auto _ : state) {
        offscreenBuffer.makeBufferCurrent();
        offscreenBuffer.makeWindowCurrent();
    }
}
BENCHMARK(BM_ContextSwitchPair);

// A switch pair with a little drawing on each side, as the effects do it.
void BM_ContextSwitchPairWithDrawing(benchmark::State& state) {
    if (!openWindowOnce()) {
        state.SkipWithError("no GL window");
        return;
    }
    for (auto _ : state) {
        offscreenBuffer.makeBufferCurrent();
        glClear(GL_COLOR_BUFFER_BIT);
        offscreenBuffer.makeWindowCurrent();
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glFinish();
}
BENCHMARK(BM_ContextSwitchPairWithDrawing);

void BM_EmptyFrame(benchmark::State& state) {
    if (!openWindowOnce()) {
        state.SkipWithError("no GL window");
        return;
    }
    for (auto _ : state) {
        platform::pollEvents();
        platform::swapWindow();
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EmptyFrame)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
