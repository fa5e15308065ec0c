// The bulk deletion of a frame over the whole 300 x 300 grid holding 10,000 beams.
#include <benchmark/benchmark.h>

#include "editor/selection_frame.h"
#include "model/game_state.h"
#include "model/world.h"

namespace {

void BuildWorld() {
    CreateWorld();
    for (int32_t i = 0; i <= GRID_CAPACITY; ++i) NodeAt(i, 0).kind = NODE_ANCHOR;
    for (int32_t j = 0; j + 2 <= GRID_CAPACITY && CountBeams() < 10000; j += 2) {
        for (int32_t i = 0; i + 2 <= GRID_CAPACITY && CountBeams() < 10000; i += 3) {
            for (const auto& [di, dj] : {std::pair{2, 0}, {0, 2}, {2, 2}}) {
                if (NodeAt(i + di, j + dj).kind == NODE_EMPTY) NodeAt(i + di, j + dj).kind = NODE_JOINT;
                AddBeam(i, j, i + di, j + dj);
            }
        }
    }
}

void BM_DeleteWholeGrid(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        BuildWorld();
        editor.frameX1 = -30;
        editor.frameY1 = -30;
        editor.frameX2 = 20 * GRID_CAPACITY + 30;
        editor.frameY2 = 20 * GRID_CAPACITY + 30;
        const int32_t before = CountBeams();
        state.ResumeTiming();
        DeleteFramedJoints();
        benchmark::DoNotOptimize(beamList.data());
        state.counters["beams_before"] = before;
        state.counters["beams_after"] = CountBeams();
    }
}
BENCHMARK(BM_DeleteWholeGrid)->Unit(benchmark::kMicrosecond);

// Holding Delete: the frames after the first find nothing left to delete.
void BM_DeleteAgainWithNothingLeft(benchmark::State& state) {
    BuildWorld();
    editor.frameX1 = -30;
    editor.frameY1 = -30;
    editor.frameX2 = 20 * GRID_CAPACITY + 30;
    editor.frameY2 = 20 * GRID_CAPACITY + 30;
    DeleteFramedJoints();
    for (auto _ : state) DeleteFramedJoints();
}
BENCHMARK(BM_DeleteAgainWithNothingLeft)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
