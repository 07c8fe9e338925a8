// Router evaluation throughput: effects evaluate thousands of paths per frame.
#include "anim/router.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<Router> makeRouters(int count, int keyCount) {
    std::vector<Router> routers(count);
    unsigned seed = 1;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 8) % 1000) * 0.01;
    };
    for (Router& r : routers) {
        for (KeyTrack& track : r.tracks) {
            for (int i = 0; i < keyCount; ++i) {
                track.push_back(makeKey(next(), next(), next()));
            }
        }
        r.usedTrackCount = 3;
        r.keyCount = keyCount;
    }
    return routers;
}

// Many routers evaluated at one time value, as a frame of face paths does.
void EvaluateManyRouters(benchmark::State& state) {
    std::vector<Router> routers = makeRouters(9000, 8);
    for (Router& r : routers) {
        r.usedTrackCount = static_cast<int>(state.range(0));
    }
    double u = 0.25;
    for (auto _ : state) {
        for (const Router& r : routers) {
            TVector a, b, c;
            r.evaluate(u, a, b, c);
            benchmark::DoNotOptimize(a);
            benchmark::DoNotOptimize(b);
            benchmark::DoNotOptimize(c);
        }
        u += 0.013;
        if (u > 8.0) {
            u = 0.0;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(routers.size()));
    state.counters["evaluations/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * routers.size(), benchmark::Counter::kIsRate);
}
BENCHMARK(EvaluateManyRouters)->Arg(1)->Arg(3);

} // namespace

BENCHMARK_MAIN();
