// The SDL screen: a desktop-sized full-screen window showing the back buffer
// letterboxed through a streaming texture, its activation, and frame pacing.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "platform/display.h"
#include "platform/draw/surface.h"
#include "platform/input/frame_pacing.h"
#include "platform/sdl/sdl_backend.h"

int32_t appActive = 0;

namespace {

struct SdlScreen {
    bool videoReady = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

SdlScreen screen;

bool CreateRendererAndTexture() {
    screen.renderer = SDL_CreateRenderer(screen.window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (screen.renderer == nullptr) {
        screen.renderer = SDL_CreateRenderer(screen.window, -1, 0);
    }
    if (screen.renderer == nullptr) {
        return false;
    }
    // Letterboxed: the picture keeps its aspect, the bars stay black.
    if (SDL_RenderSetLogicalSize(screen.renderer, screen.width, screen.height) != 0) {
        return false;
    }
    // XBGR8888 has the MakeColour layout in memory on a little-endian machine,
    // so the back buffer goes up unconverted.
    screen.texture = SDL_CreateTexture(screen.renderer, SDL_PIXELFORMAT_XBGR8888, SDL_TEXTUREACCESS_STREAMING,
                                       screen.width, screen.height);
    return screen.texture != nullptr;
}

void DestroyRendererAndTexture() {
    if (screen.texture != nullptr) {
        SDL_DestroyTexture(screen.texture);
        screen.texture = nullptr;
    }
    if (screen.renderer != nullptr) {
        SDL_DestroyRenderer(screen.renderer);
        screen.renderer = nullptr;
    }
}

void CloseWindow() {
    ReleaseSdlMouse();
    DestroyRendererAndTexture();
    if (screen.window != nullptr) {
        SDL_DestroyWindow(screen.window);
        screen.window = nullptr;
    }
    SDL_ShowCursor(SDL_ENABLE);
    screen.width = 0;
    screen.height = 0;
    appActive = 0;
}

void ShowBlack() {
    SDL_SetRenderDrawColor(screen.renderer, 0, 0, 0, 255);
    SDL_RenderClear(screen.renderer);
    SDL_RenderPresent(screen.renderer);
}

void HandleWindowEvent(const SDL_WindowEvent& event) {
    if (screen.window == nullptr || event.windowID != SDL_GetWindowID(screen.window)) {
        return;
    }
    switch (event.event) {
        // Showing or restoring the window activates it, as the window
        // manager gives it the focus; fullscreen windows are hidden and shown
        // again while they are set up.
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            appActive = 1;
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            appActive = 0;
            break;
        default:
            break;
    }
}

void HandleEvent(const SDL_Event& event) {
    if (event.type == SDL_WINDOWEVENT) {
        HandleWindowEvent(event.window);
        // A close request also reaches the input side, as Escape.
    }
    if (event.type == SDL_RENDER_DEVICE_RESET && screen.window != nullptr) {
        // The renderer's textures are gone; the picture is uploaded anew each
        // frame, so making them again is all a lost device needs.
        DestroyRendererAndTexture();
        CreateRendererAndTexture();
    }
    HandleSdlInputEvent(event);
}

// For start-up measurements (bench/idle_and_startup.sh): with KARNOLT_REPORT_FIRST_FRAME
// set, the wall-clock time at which the first game frame went to the screen.
void ReportFirstFrame() {
    static bool reported = false;
    if (reported) {
        return;
    }
    reported = true;
    if (std::getenv("KARNOLT_REPORT_FIRST_FRAME") != nullptr) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::fprintf(stderr, "karnolt: first frame presented at %lld.%09ld\n",
                     static_cast<long long>(now.tv_sec), now.tv_nsec);
    }
}

void ShowBackBuffer() {
    if (screen.texture == nullptr || backBuffer.width != screen.width || backBuffer.height != screen.height ||
        backBuffer.pixels.empty()) {
        return;
    }
    SDL_UpdateTexture(screen.texture, nullptr, backBuffer.pixels.data(), screen.width * 4);
    SDL_RenderClear(screen.renderer);
    SDL_RenderCopy(screen.renderer, screen.texture, nullptr, nullptr);
    SDL_RenderPresent(screen.renderer);
    ReportFirstFrame();
}

void SleepTicks(int32_t ticks) {
    std::this_thread::sleep_for(
        std::chrono::nanoseconds(int64_t{ticks} * (1'000'000'000 / PACING_COUNTER_FREQUENCY)));
}

}  // namespace

int64_t ReadPacingCounter() {
    const uint64_t counter = SDL_GetPerformanceCounter();
    const uint64_t frequency = SDL_GetPerformanceFrequency();
    const auto target = static_cast<uint64_t>(PACING_COUNTER_FREQUENCY);
    // In two parts, so that a nanosecond counter after months of uptime does
    // not overflow the product.
    return static_cast<int64_t>((counter / frequency) * target + (counter % frequency) * target / frequency);
}

SDL_Window* SdlWindow() {
    return screen.window;
}

int32_t InitSpriteSystem() {
    // SDL would turn SIGINT and SIGTERM into its own quit event; the input side
    // handles them instead, so that they end the game like Escape.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return 0;
    }
    screen.videoReady = true;
    framePacing = FramePacing{};
    return 1;
}

int32_t OpenFullScreen(int32_t width, int32_t height, int32_t depth, const char* title) {
    // The arguments are 16-bit values, as the display interface takes them.
    const auto w = static_cast<int16_t>(width);
    const auto h = static_cast<int16_t>(height);
    const auto d = static_cast<int16_t>(depth);
    CloseWindow();
    if (!screen.videoReady || w <= 0 || h <= 0 || (d != 16 && d != 24 && d != 32)) {
        return 0;
    }
    screen.width = w;
    screen.height = h;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    // Full screen at the desktop's own mode: the player's monitors are never
    // switched, so nothing needs restoring if the game dies.
    screen.window = SDL_CreateWindow(title != nullptr ? title : "", SDL_WINDOWPOS_UNDEFINED,
                                     SDL_WINDOWPOS_UNDEFINED, w, h, SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (screen.window == nullptr || !CreateRendererAndTexture()) {
        CloseWindow();
        return 0;
    }
    SDL_ShowCursor(SDL_DISABLE);
    SDL_StopTextInput();
    AllocateBackBuffer(w, h);
    ShowBlack();
    framePacing.reference = 0;
    // Showing the window activates it; focus events keep appActive from here.
    appActive = 1;
    return 1;
}

int32_t SetFrameCap(int32_t framesPerSecond) {
    return SetPacingCap(framePacing, PACING_COUNTER_FREQUENCY, framesPerSecond);
}

void PresentFrame() {
    if (screen.videoReady) {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            HandleEvent(event);
        }
    }
    if (screen.window != nullptr && appActive == 1) {
        ShowBackBuffer();
    }
    WaitForFrameCap(framePacing, ReadPacingCounter, SleepTicks);
}

void ReleaseScreen() {
    ReleaseDrawing();
    AllocateBackBuffer(0, 0);
    CloseWindow();
    if (screen.videoReady) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
        screen.videoReady = false;
    }
}

uint32_t ReadTickCount() {
    return static_cast<uint32_t>(SDL_GetTicks64());
}

void ShowErrorMessage(const char* title, const char* text) {
    // The player needs a pointer to close the box.
    ReleaseSdlMouse();
    SDL_ShowCursor(SDL_ENABLE);
    // Without a display there is nobody to show it to; the failure is ignored.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title != nullptr ? title : "", text != nullptr ? text : "",
                             screen.window);
}
