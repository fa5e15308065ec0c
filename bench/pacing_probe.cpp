// Measures the SDL back end's frame pacing: a loop of empty frames at the cap
// of 60, reporting the processor time it takes per wall-clock second and the
// intervals between frames. Run it under a real display, Xvfb or SDL's dummy
// driver:  pacing_probe [frames] [--wait-only | --inactive]
// --wait-only times the pacing wait alone, without SDL; --inactive runs the
// whole PresentFrame with the window deactivated, so that no picture is drawn
// and what remains is the event handling and the wait.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/display.h"
#include "platform/screen/frame_pacing.h"
#include "platform/sdl/sdl_backend.h"

namespace {

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void SleepTicks(int32_t ticks) {
    std::this_thread::sleep_for(std::chrono::nanoseconds(int64_t{ticks} * 100));
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 600;
    bool waitOnly = false;
    bool inactive = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--wait-only") == 0) {
            waitOnly = true;
        } else if (std::strcmp(argv[i], "--inactive") == 0) {
            inactive = true;
        } else {
            frames = std::max(10, std::atoi(argv[i]));
        }
    }
    if (!waitOnly) {
        if (InitSpriteSystem() == 0 || OpenFullScreen(1024, 768, 32, "Karnolt") == 0) {
            std::fprintf(stderr, "pacing_probe: cannot open the screen: %s\n", SDL_GetError());
            return 1;
        }
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(SDL_GetRenderer(SdlWindow()), &info);
        std::printf("video driver %s, renderer %s%s\n", SDL_GetCurrentVideoDriver(), info.name,
                    (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0 ? " with vsync" : "");
    }
    if (inactive) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = SDL_GetWindowID(SdlWindow());
        event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
        PresentFrame();  // the window's own start-up events first
        SDL_PushEvent(&event);
        PresentFrame();
        std::printf("window inactive: %s\n", appActive == 0 ? "yes" : "no");
    }
    SetFrameCap(60);
    // The wait alone runs on a record of its own, with the same cap.
    FramePacing pacing;
    SetPacingCap(pacing, PACING_COUNTER_FREQUENCY, 60);

    std::vector<double> intervals;
    intervals.reserve(static_cast<std::size_t>(frames));
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = ProcessorSeconds();
    auto last = wallStart;
    for (int frame = 0; frame < frames; ++frame) {
        if (waitOnly) {
            WaitForFrameCap(pacing, ReadPacingCounter, SleepTicks);
        } else {
            PresentFrame();
        }
        const auto now = std::chrono::steady_clock::now();
        if (frame > 0) {  // the first wait starts from SetFrameCap, not from a frame
            intervals.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        }
        last = now;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = ProcessorSeconds() - cpuStart;
    if (!waitOnly) {
        ReleaseScreen();
    }

    std::sort(intervals.begin(), intervals.end());
    const auto at = [&intervals](double q) {
        return intervals[static_cast<std::size_t>(q * static_cast<double>(intervals.size() - 1))];
    };
    std::printf("%d frames in %.3f s: %.2f frames/s\n", frames, wall, frames / wall);
    std::printf("processor time %.1f ms per wall second (%.2f%% of one core)\n", 1000.0 * cpu / wall,
                100.0 * cpu / wall);
    std::printf("interval ms: median %.4f (a 61st is %.4f), p5 %.4f, p95 %.4f, min %.4f, max %.4f\n", at(0.5),
                1000.0 / 61.0, at(0.05), at(0.95), intervals.front(), intervals.back());
    return 0;
}
