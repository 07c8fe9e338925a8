// The whole loading sequence in a real window (llvmpipe under Xvfb or SDL's
// offscreen driver), with the loading screen drawn after every step and
// without it. Counters split the time into PNG decoding, loading-screen
// frames and the start of the music. Run from the build folder (hlvd/).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/window.h"
#include "gfx/offscreen_buffer.h"
#include "gfx/texture_table.h"
#include "loading/loading_sequence.h"
#include "loading/texture_upload.h"
#include "platform/platform.h"
#include "segments/loading_screen.h"
#include "timeline/timeline.h"

namespace {

platform::VirtualClock benchClock;

bool openOnce() {
    static const bool opened = [] {
        // Without a display the window lives on SDL's offscreen driver.
        if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        std::filesystem::current_path(HLV_ASSET_DIR "/..");
        platform::useVirtualClock(&benchClock); // no audio device; decoding still runs
        timeline::musicFlag = true;
        timeline::Hooks hooks = timeline::defaultHooks();
        hooks.playMusic = [](int) {};
        timeline::setHooks(hooks);
        return shell::openWindow("HLV.orv", 800, 600, 32, false);
    }();
    return opened;
}

void loadEverything(benchmark::State& state, bool screenDrawn) {
    if (!openOnce()) {
        state.SkipWithError("no window");
        return;
    }
    setLoadingScreenDrawn(screenDrawn);
    LoadingTimes sum;
    for (auto _ : state) {
        runLoadingSequence();
        const LoadingTimes& times = loadingTimes();
        state.SetIterationTime(times.total / 1000.0);
        sum.total += times.total;
        sum.decode += times.decode;
        sum.screen += times.screen;
        sum.swap += times.swap;
        sum.music += times.music;
    }
    const double runs = double(state.iterations());
    state.counters["total_ms"] = sum.total / runs;
    state.counters["decode_ms"] = sum.decode / runs;
    state.counters["decode_share"] = sum.decode / sum.total;
    state.counters["screen_ms"] = sum.screen / runs;
    state.counters["swap_ms"] = sum.swap / runs;
    state.counters["music_ms"] = sum.music / runs;
    setLoadingScreenDrawn(true);
}

// The loading screen draws through the off-screen buffer with textures and
// paths that the loading sequence sets up; drawn before that, it switched to
// an empty buffer, left no context current and the next sequence's buffer
// set-up stopped the program.
bool loadedOnce() {
    static const bool loaded = [] {
        if (!openOnce()) {
            return false;
        }
        setLoadingScreenDrawn(false);
        runLoadingSequence();
        setLoadingScreenDrawn(true);
        return true;
    }();
    return loaded;
}

// One loading-screen frame (finished, not swapped) at t = 5.
void BM_LoadingScreenFrame(benchmark::State& state) {
    if (!loadedOnce()) {
        state.SkipWithError("no window");
        return;
    }
    double t = 5.0;
    for (auto _ : state) {
        drawLoadingScreen(loadingScreen, &t, textureTable, offscreenBuffer);
        glFinish();
    }
}

// One picture from file to texture (decode, texel rows, upload), for what a
// single asset adds to the sequence; the glow sprite is loaded three times.
void BM_GlowSpriteUpload(benchmark::State& state) {
    if (!loadedOnce()) {
        state.SkipWithError("no window");
        return;
    }
    constexpr int kSlot = 9008;
    for (auto _ : state) {
        const GLuint before = GLuint(textureTable[kSlot]);
        uploadTexture("hlvd\\starburst2.png", kSlot);
        glFinish();
        glDeleteTextures(1, &before);
    }
}

void BM_LoadingWithScreen(benchmark::State& state) {
    loadEverything(state, true);
}
void BM_LoadingWithoutScreen(benchmark::State& state) {
    loadEverything(state, false);
}

} // namespace

BENCHMARK(BM_LoadingScreenFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlowSpriteUpload)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadingWithScreen)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadingWithoutScreen)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
