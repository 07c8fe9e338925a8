// One frame's creature built on the CPU: 40 nodes, 39 arm paths rebuilt and
// 1770 beads placed and drawn lots for. The moon panorama does this every
// frame once the creature is on, so it has to stay far below a millisecond.
#include "segments/part5.h"

#include <benchmark/benchmark.h>

namespace {

void BuildCreatureFrame(benchmark::State& state) {
    CreatureFrame frame;
    double phase = 0.0;
    double t = 110.0;
    for (auto _ : state) {
        buildCreature(frame, phase, t, kCreatureLevels);
        benchmark::DoNotOptimize(frame.beads.data());
        t += 0.15;
        if (t > 212.0) {
            t = 110.0;
        }
    }
    state.counters["beads"] = static_cast<double>(frame.beads.size());
}
BENCHMARK(BuildCreatureFrame)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
