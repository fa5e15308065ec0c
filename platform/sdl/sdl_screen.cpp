// The SDL screen: the video system, a desktop-sized full-screen window, its
// events and activation, frame pacing and the error box. The picture's way into the
// window is sdl_present.cpp's.
#include <chrono>
#include <thread>

#include "platform/backend.h"
#include "platform/draw/surface.h"
#include "platform/screen/frame_pacing.h"
#include "platform/sdl/sdl_backend.h"

namespace {

struct SdlScreen {
    SDL_Window* window = nullptr;
    int32_t width = 0;  // the game's picture
    int32_t height = 0;
};

SdlScreen screen;

void HandleWindowEvent(const SDL_WindowEvent& event) {
    if (screen.window == nullptr || event.windowID != SDL_GetWindowID(screen.window)) {
        return;
    }
    switch (event.event) {
        // Showing or restoring the window activates it, as the window
        // manager gives it the focus; fullscreen windows are hidden and shown
        // again while they are set up.
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            NoteWindowActive(true);
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            NoteWindowActive(true);
            RedrawWholePicture();
            break;
        // What the window showed may be lost: the next frame is sent whole.
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            RedrawWholePicture();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            NoteWindowActive(false);
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
        DropPresentation();
        ChoosePresentation(screen.window, screen.width, screen.height);
    }
    HandleSdlInputEvent(event);
}

// SDL falls back to drivers that show nothing when it cannot reach a display (none
// set, or one that refuses the connection): a game there runs unseen, and nobody can
// press Escape. They serve only where asked for by name (tests, measurements).
bool ShowsNobody(const char* driver) {
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    const bool hidden =
        driver == nullptr || SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0;
    return hidden && (asked == nullptr || driver == nullptr || SDL_strcasecmp(asked, driver) != 0);
}

void SleepTicks(int32_t ticks) {
    std::this_thread::sleep_for(
        std::chrono::nanoseconds(int64_t{ticks} * (1'000'000'000 / PACING_COUNTER_FREQUENCY)));
}

}  // namespace

bool StartVideo() {
    // SDL would turn SIGINT and SIGTERM into its own quit event; the input side
    // handles them instead, so that they end the game like Escape.
    WatchQuitSignals();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    if (ShowsNobody(SDL_GetCurrentVideoDriver())) {
        StopVideo();
        return false;
    }
    return true;
}

void StopVideo() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

bool OpenWindow(int32_t width, int32_t height, const char* title) {
    screen.width = width;
    screen.height = height;
    // Scaling must not scale the mouse: its motion counts reach the game one to
    // one, whatever the size of the desktop.
    SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_SCALING, "0");
    // Full screen at the desktop's own mode: the player's monitors are never
    // switched, so nothing needs restoring if the game dies.
    // Made hidden and shown once its renderer is chosen: the renderer comes up
    // much faster on a window that is not yet being laid out full screen.
    // Made as large as the screen and where it is: without a window manager
    // nobody answers the full-screen request, and the window keeps this place.
    SDL_Rect bounds{SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height};
    if (SDL_GetDisplayBounds(0, &bounds) != 0)
        bounds = {SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height};
    screen.window = SDL_CreateWindow(title, bounds.x, bounds.y, bounds.w, bounds.h,
                                     SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_HIDDEN);
    if (screen.window == nullptr || !ChoosePresentation(screen.window, width, height)) return false;
    SDL_ShowWindow(screen.window);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_StopTextInput();
    ShowBlackPicture();
    return true;
}

void CloseWindow() {
    ReleaseSdlMouse();
    DropPresentation();
    if (screen.window != nullptr) {
        SDL_DestroyWindow(screen.window);
        screen.window = nullptr;
    }
    SDL_ShowCursor(SDL_ENABLE);
    screen.width = 0;
    screen.height = 0;
}

void HandleWindowMessages() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) HandleEvent(event);
}

void ShowPicture(Surface& backBuffer, bool whole) {
    if (screen.window == nullptr || backBuffer.width != screen.width || backBuffer.height != screen.height)
        return;
    PresentPicture(backBuffer.pixels.data(), whole);
}

void PaceFrame(FramePacing& pacing) {
    WaitForFrameCap(pacing, ReadPacingCounter, SleepTicks);
}

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

uint32_t ReadTickCount() {
    return static_cast<uint32_t>(SDL_GetTicks64());
}

void ShowErrorBox(const char* title, const char* text) {
    // The player needs a pointer to close the box.
    ReleaseSdlMouse();
    SDL_ShowCursor(SDL_ENABLE);
    // The box waits for the player, and a signal must still end the game meanwhile.
    if (EndAtOnceOnQuitSignals()) return;
    // Without a display there is nobody to show it to; the failure is ignored.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, screen.window);
}
