// Whole frames (input, scene, editor, simulation, HUD, presentation) on the
// headless back end, whose presentation never waits: the work a frame costs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "game/game.h"
#include "game/level.h"
#include "model/game_state.h"
#include "model/world.h"
#include "platform/headless.h"
#include "tools/bmp_file.h"

namespace {

bool StartOn(const std::string& level) {
    ResetPlatform();
    ResetGame();
    game.levelFileOverride = level;
    return StartUp() == 0;
}

// A 300 x 300 level: earth in the lower half, anchors along its top edge.
std::string WriteFullLevel() {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "karnolt-bench-full.bmp";
    const std::vector<uint8_t> bytes = EncodeBmp(300, 300, 24, [](int32_t x, int32_t y) -> uint32_t {
        if (y == 150) return 0xFFFFFF;
        if (y > 150) return static_cast<uint32_t>(140 | (80 + x % 40) << 8 | 40 << 16);
        return 0;
    });
    WriteBinaryFile(path.string(), bytes);
    return path.string();
}

// Beams of lengths 2 to 3 hanging from anchor row `anchorRow`, in a block of the grid.
void BuildTruss(int32_t firstColumn, int32_t lastColumn, int32_t anchorRow, int32_t beamCount) {
    for (int32_t j = anchorRow; j <= gridHeight - 2 && CountBeams() < beamCount; j += 1) {
        for (int32_t i = firstColumn; i + 2 <= lastColumn && CountBeams() < beamCount; i += 1) {
            for (const auto& [di, dj] : {std::pair{2, 0}, {0, 2}, {2, 1}, {1, 2}, {2, 2}}) {
                if (CountBeams() >= beamCount || j + dj < anchorRow) continue;
                Node& b = NodeAt(i + di, j + dj);
                if (b.kind == NODE_EMPTY) b.kind = NODE_JOINT;
                if (NodeAt(i, j).kind == NODE_EMPTY) NodeAt(i, j).kind = NODE_JOINT;
                AddBeam(i, j, i + di, j + dj);
            }
        }
    }
}

// The browser calls into the program once per frame, and a WebAssembly engine swaps a
// function's optimised code in only when it is next called. Inlined into the loop
// below, which runs in one call from start to end, a frame would run unoptimised
// throughout (the WebAssembly optimiser inlines a function that has one caller), so
// the loop calls through pointers that no optimiser sees through.
bool (*volatile runFrame)() = RunFrame;
void (*volatile resetWorld)() = ResetWorld;

void RunFrames(benchmark::State& state, std::size_t resetEvery) {
    std::vector<double> micros;
    micros.reserve(1 << 16);
    for (auto _ : state) {
        // The world is put back every `resetEvery` frames: the truss keeps carrying
        // load, and with 1 every beam stays intact and is drawn in every frame.
        if (micros.size() % resetEvery == resetEvery - 1) resetWorld();
        const auto start = std::chrono::steady_clock::now();
        runFrame();
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(micros.begin(), micros.end());
    double sum = 0;
    for (const double m : micros) sum += m;
    state.counters["mean_us"] = sum / static_cast<double>(micros.size());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["max_us"] = micros.back();
    state.counters["beams"] = CountBeams();
}

void BM_FrameShippedLevel50Beams(benchmark::State& state) {
    if (!StartOn(KARNOLT_SOURCE_DIR "/data/Level1.bmp")) {
        state.SkipWithError("level not loaded");
        return;
    }
    BuildTruss(38, 57, 40, 50);
    game.simulationRunning = 1;
    RunFrames(state, 200);
}
BENCHMARK(BM_FrameShippedLevel50Beams)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

// The shipped level standing idle, as a player sees it before the first beam.
void BM_FrameIdleShippedLevel(benchmark::State& state) {
    if (!StartOn(KARNOLT_SOURCE_DIR "/data/Level1.bmp")) {
        state.SkipWithError("level not loaded");
        return;
    }
    RunFrames(state, SIZE_MAX);
}
BENCHMARK(BM_FrameIdleShippedLevel)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

void BM_FrameFullLevel10000Beams(benchmark::State& state) {
    if (!StartOn(WriteFullLevel())) {
        state.SkipWithError("level not loaded");
        return;
    }
    // All in the start view: columns 20 to 71, rows 20 to 58.
    for (int32_t i = 0; i <= 300; ++i) NodeAt(i, 20).kind = NODE_ANCHOR;
    BuildTruss(20, 71, 20, 10000);
    game.simulationRunning = 1;
    // Argument: frames between resets. This dense truss sheds most beams within a
    // few frames; with 1 all 10,000 stay intact and are drawn every frame.
    RunFrames(state, static_cast<std::size_t>(state.range(0)));
}
BENCHMARK(BM_FrameFullLevel10000Beams)->Arg(200)->Arg(1)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
