// The picture's way into the SDL window: the back buffer scaled crisply and centred
// between black bars, through a streaming texture where there is a graphics driver,
// or straight into the window's own surface where OpenGL would be drawn by the
// processor; only the rows that changed are scaled and sent.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/screen/picture_scale.h"
#include "platform/sdl/sdl_backend.h"

namespace {

struct SdlPresentation {
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

SdlPresentation screen;

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
bool ChooseRendererOrSurface() {
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

void FillBlack() {
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

}  // namespace

bool ChoosePresentation(SDL_Window* window, int32_t width, int32_t height) {
    screen.window = window;
    screen.width = width;
    screen.height = height;
    return ChooseRendererOrSurface();
}

void DropPresentation() {
    DestroyRendererAndTexture();
    screen.window = nullptr;
}

void ShowBlackPicture() {
    FillBlack();
}

void RedrawWholePicture() {
    screen.scaler.redrawAll = true;
}

void PresentPicture(const uint32_t* picture, bool whole) {
    if (whole) screen.scaler.redrawAll = true;
    if (screen.useWindowSurface) {
        ShowOnWindowSurface(picture);
    } else if (screen.renderer != nullptr) {
        ShowThroughTexture(picture);
    }
    ReportFirstFrame();
}
