// One running simulation step on the full 300 x 300 grid with a 10,000-beam truss.
#include <benchmark/benchmark.h>

#include "model/game_state.h"
#include "model/world.h"
#include "sim/simulation.h"

namespace {

// A lattice truss of joints hanging between anchors on the top row, built from
// straight and diagonal beams of lengths 2 to 3 grid units.
void BuildTruss(int32_t beamCount) {
    CreateWorld();
    for (int32_t i = 0; i <= GRID_CAPACITY; ++i) NodeAt(i, 0).kind = NODE_ANCHOR;
    int32_t made = 0;
    for (int32_t j = 0; j + 2 <= GRID_CAPACITY && made < beamCount; j += 2) {
        for (int32_t i = 0; i + 2 <= GRID_CAPACITY && made < beamCount; i += 2) {
            NodeAt(i + 2, j).kind = NodeAt(i + 2, j).kind == NODE_ANCHOR ? NODE_ANCHOR : NODE_JOINT;
            NodeAt(i, j + 2).kind = NODE_JOINT;
            NodeAt(i + 2, j + 2).kind = NODE_JOINT;
            AddBeam(i, j, i + 2, j);
            AddBeam(i, j, i, j + 2);
            AddBeam(i, j, i + 2, j + 2);
            made += 3;
        }
    }
}

void BM_SimulationStepFullGrid(benchmark::State& state) {
    BuildTruss(10000);
    game.simulationRunning = 1;
    int64_t steps = 0;
    for (auto _ : state) {
        // Keep every beam intact and the truss near rest, so each step does the full
        // work; the reset costs about one step and is spread over 64.
        if (++steps % 64 == 0) ResetWorld();
        SimulationStep();
        benchmark::DoNotOptimize(beamList.data());
    }
    state.counters["beams"] = static_cast<double>(CountBeams());
}
BENCHMARK(BM_SimulationStepFullGrid)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
