// What the platform adds to every frame on the headless back end: the flip,
// the window messages and the virtual clock of PresentFrame, and the input
// reads of a frame. No wait: the headless clock never sleeps.
#include <benchmark/benchmark.h>

#include "platform/display.h"
#include "platform/headless.h"
#include "platform/input.h"

namespace {

void StartPlatform() {
    ResetPlatform();
    InitSpriteSystem();
    OpenKeyboard();
    OpenMouse();
    OpenFullScreen(1024, 768, 32, "Karnolt");
    SetFrameCap(60);
}

void BM_PresentFrame(benchmark::State& state) {
    StartPlatform();
    for (auto _ : state) {
        PresentFrame();
        benchmark::DoNotOptimize(HeadlessPresentedPixels());
    }
    state.counters["frames"] = static_cast<double>(HeadlessPresentedFrameCount());
    ResetPlatform();
}
BENCHMARK(BM_PresentFrame);

// A frame's input: keyboard snapshot, a mouse read with a few events, the two
// gestures, Escape and Enter as the frame loop asks for them.
void BM_FrameInput(benchmark::State& state) {
    StartPlatform();
    bool down = false;
    for (auto _ : state) {
        HeadlessQueueMotionX(3);
        HeadlessQueueMotionY(-2);
        down = !down;
        HeadlessQueueButton(1, down);
        ReadKeyboard();
        benchmark::DoNotOptimize(KeyDown(SCAN_ESCAPE));
        benchmark::DoNotOptimize(KeyReleased(SCAN_RETURN));
        ReadMouse();
        benchmark::DoNotOptimize(MouseMotionX() + MouseMotionY());
        benchmark::DoNotOptimize(ButtonGesture(1));
        benchmark::DoNotOptimize(ButtonGesture(2));
    }
    ResetPlatform();
}
BENCHMARK(BM_FrameInput);

}  // namespace

BENCHMARK_MAIN();
