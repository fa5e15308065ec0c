// The SDL screen: a desktop-sized full-screen window showing the back buffer
// scaled crisply and centred between black bars, through a streaming texture or
// the window's own surface; its activation, and frame pacing.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend.h"
#include "platform/screen/frame_pacing.h"
#include "platform/screen/picture_scale.h"
#include "platform/sdl/sdl_backend.h"

namespace {

struct SdlScreen {
    bool videoReady = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    // Without a graphics driver the picture goes straight to the window's own
    // surface: one scaling copy instead of a texture upload and a blit.
    bool useWindowSurface = false;
    int32_t width = 0;  // the game's picture
    int32_t height = 0;
    // Both paths show the same picture: scaled here, then sent at its own size.
    PictureScaler scaler;
    std::vector<uint32_t> scaled;  // for the texture, and for window surfaces of other formats
    SDL_Surface* lastTarget = nullptr;
    int32_t textureWidth = 0;
    int32_t textureHeight = 0;
};

SdlScreen screen;

// OpenGL drawn by the processor (Mesa's llvmpipe and kin, as on a virtual X
// server or a machine without a graphics driver) costs far more per frame than
// SDL's own software renderer, which copies the picture straight to the window.
bool RendererIsSoftwareOpenGl() {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(screen.renderer, &info) != 0 || info.name == nullptr ||
        std::strncmp(info.name, "opengl", 6) != 0) {
        return false;
    }
    using GetString = const unsigned char* (*)(unsigned int);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    constexpr unsigned int GL_RENDERER_NAME = 0x1F01;  // GL_RENDERER
    const unsigned char* name = getString != nullptr ? getString(GL_RENDERER_NAME) : nullptr;
    if (name == nullptr) return false;
    const std::string renderer(reinterpret_cast<const char*>(name));
    return renderer.find("llvmpipe") != std::string::npos || renderer.find("softpipe") != std::string::npos ||
           renderer.find("Software") != std::string::npos;
}

// KARNOLT_PRESENT=texture or =surface forces one presentation path, for tests and
// diagnosis; otherwise the graphics driver decides.
std::string ForcedPresentation() {
    const char* forced = std::getenv("KARNOLT_PRESENT");
    return forced != nullptr ? forced : "";
}

void ReportPresentation(const std::string& forced) {
    if (forced.empty()) return;
    SDL_RendererInfo info{};
    const bool named = screen.renderer != nullptr && SDL_GetRendererInfo(screen.renderer, &info) == 0;
    if (screen.useWindowSurface) {
        std::fprintf(stderr, "karnolt: presenting through the window surface\n");
    } else {
        std::fprintf(stderr, "karnolt: presenting through the texture path (renderer %s)\n",
                     named ? info.name : "none");
    }
}

// The texture path where a renderer is worth it, else the window's own surface.
bool ChoosePresentation() {
    const std::string forced = ForcedPresentation();
    if (forced != "surface") {
        screen.renderer = SDL_CreateRenderer(screen.window, -1, SDL_RENDERER_PRESENTVSYNC);
        if (screen.renderer == nullptr) {
            screen.renderer = SDL_CreateRenderer(screen.window, -1, 0);
        }
        if (screen.renderer != nullptr && forced != "texture" && RendererIsSoftwareOpenGl()) {
            SDL_DestroyRenderer(screen.renderer);
            screen.renderer = nullptr;
        }
        if (screen.renderer != nullptr || forced == "texture") {
            // The texture is made at the first frame, at the scaled picture's size.
            ReportPresentation(forced);
            return screen.renderer != nullptr;
        }
    }
    // Without this SDL would put the window's own surface on OpenGL again.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    screen.useWindowSurface = SDL_GetWindowSurface(screen.window) != nullptr;
    ReportPresentation(forced);
    return screen.useWindowSurface;
}

void DestroyRendererAndTexture() {
    screen.useWindowSurface = false;
    screen.scaler = PictureScaler{};
    screen.scaled.clear();
    screen.lastTarget = nullptr;
    screen.textureWidth = 0;
    screen.textureHeight = 0;
    if (screen.texture != nullptr) {
        SDL_DestroyTexture(screen.texture);
        screen.texture = nullptr;
    }
    if (screen.renderer != nullptr) {
        SDL_DestroyRenderer(screen.renderer);
        screen.renderer = nullptr;
    }
}

void ShowBlack() {
    if (screen.useWindowSurface) {
        SDL_Surface* target = SDL_GetWindowSurface(screen.window);
        if (target != nullptr) {
            SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
            SDL_UpdateWindowSurface(screen.window);
        }
        return;
    }
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
            NoteWindowActive(true);
            break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            NoteWindowActive(true);
            screen.scaler.redrawAll = true;
            break;
        // What the window showed may be lost: the next frame is sent whole.
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            screen.scaler.redrawAll = true;
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
        DestroyRendererAndTexture();
        ChoosePresentation();
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

bool IsXrgb(uint32_t format) {
    return format == SDL_PIXELFORMAT_XRGB8888 || format == SDL_PIXELFORMAT_ARGB8888;
}
bool IsXbgr(uint32_t format) {
    return format == SDL_PIXELFORMAT_XBGR8888 || format == SDL_PIXELFORMAT_ABGR8888;
}

// Scaled straight into the window's own surface when it holds 32-bit pixels (as X
// servers' do), and only the rows that changed go to the screen.
void ShowOnWindowSurface(const uint32_t* picture) {
    SDL_Surface* target = SDL_GetWindowSurface(screen.window);
    if (target == nullptr) return;
    PrepareScaler(screen.scaler, screen.width, screen.height, target->w, target->h);
    const PicturePlace place = screen.scaler.place;
    const bool whole = screen.scaler.redrawAll || target != screen.lastTarget;
    screen.lastTarget = target;
    if (whole) {
        screen.scaler.redrawAll = true;
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    }
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    const uint32_t format = target->format->format;
    auto* origin = static_cast<uint8_t*>(target->pixels) +
                   static_cast<std::ptrdiff_t>(place.y) * target->pitch +
                   static_cast<std::ptrdiff_t>(place.x) * target->format->BytesPerPixel;
    std::vector<RowBand> bands;
    if (IsXrgb(format) || IsXbgr(format)) {
        bands = ScaleChangedRows(screen.scaler, picture, reinterpret_cast<uint32_t*>(origin),
                                 target->pitch / 4, IsXrgb(format));
    } else {
        screen.scaled.resize(static_cast<std::size_t>(place.width) * place.height);
        bands = ScaleChangedRows(screen.scaler, picture, screen.scaled.data(), place.width, false);
        for (const RowBand& band : bands) {
            SDL_ConvertPixels(place.width, band.bottom - band.top, SDL_PIXELFORMAT_XBGR8888,
                              screen.scaled.data() + static_cast<std::size_t>(band.top) * place.width,
                              place.width * 4, format,
                              origin + static_cast<std::ptrdiff_t>(band.top) * target->pitch, target->pitch);
        }
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    if (whole) {
        SDL_UpdateWindowSurface(screen.window);
        return;
    }
    std::vector<SDL_Rect> rects;
    for (const RowBand& band : bands) {
        rects.push_back({place.x, place.y + band.top, place.width, band.bottom - band.top});
    }
    if (!rects.empty())
        SDL_UpdateWindowSurfaceRects(screen.window, rects.data(), static_cast<int>(rects.size()));
}

// The scaled picture in a texture of its own size, drawn one to one: the graphics
// driver's filtering never touches it, so both paths show the same pixels.
void ShowThroughTexture(const uint32_t* picture) {
    int outputWidth = 0;
    int outputHeight = 0;
    if (SDL_GetRendererOutputSize(screen.renderer, &outputWidth, &outputHeight) != 0) return;
    PrepareScaler(screen.scaler, screen.width, screen.height, outputWidth, outputHeight);
    const PicturePlace place = screen.scaler.place;
    if (screen.texture == nullptr || screen.textureWidth != place.width ||
        screen.textureHeight != place.height) {
        if (screen.texture != nullptr) SDL_DestroyTexture(screen.texture);
        // XBGR8888 is the MakeColour layout (red in the low byte of the 32-bit value).
        screen.texture = SDL_CreateTexture(screen.renderer, SDL_PIXELFORMAT_XBGR8888,
                                           SDL_TEXTUREACCESS_STREAMING, place.width, place.height);
        if (screen.texture == nullptr) return;
        SDL_SetTextureScaleMode(screen.texture, SDL_ScaleModeNearest);
        screen.textureWidth = place.width;
        screen.textureHeight = place.height;
        screen.scaled.assign(static_cast<std::size_t>(place.width) * place.height, 0);
        screen.scaler.redrawAll = true;
    }
    for (const RowBand& band :
         ScaleChangedRows(screen.scaler, picture, screen.scaled.data(), place.width, false)) {
        const SDL_Rect rows{0, band.top, place.width, band.bottom - band.top};
        SDL_UpdateTexture(screen.texture, &rows,
                          screen.scaled.data() + static_cast<std::size_t>(band.top) * place.width,
                          place.width * 4);
    }
    SDL_SetRenderDrawColor(screen.renderer, 0, 0, 0, 255);
    SDL_RenderClear(screen.renderer);
    const SDL_Rect whole{place.x, place.y, place.width, place.height};
    SDL_RenderCopy(screen.renderer, screen.texture, nullptr, &whole);
    SDL_RenderPresent(screen.renderer);
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
    if (screen.window == nullptr || !ChoosePresentation()) return false;
    SDL_ShowWindow(screen.window);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_StopTextInput();
    ShowBlack();
    return true;
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
}

void HandleWindowMessages() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) HandleEvent(event);
}

void ShowPicture(Surface& backBuffer, bool whole) {
    if (screen.window == nullptr || backBuffer.width != screen.width || backBuffer.height != screen.height)
        return;
    if (whole) screen.scaler.redrawAll = true;
    if (screen.useWindowSurface) {
        ShowOnWindowSurface(backBuffer.pixels.data());
    } else if (screen.renderer != nullptr) {
        ShowThroughTexture(backBuffer.pixels.data());
    }
    ReportFirstFrame();
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
