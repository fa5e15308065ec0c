// The browser's screen: the canvas holds the back buffer at the game's own size, and
// the browser scales it to the window as it composes the page (index.html's style):
// as large as fits, centred between black bars, each game pixel a block of whole
// device pixels. Only the rows that changed since the last picture go to the canvas.
// Frame pacing is decided at each display frame.
#include <emscripten/emscripten.h>

#include <cstdint>

#include "platform/backend.h"
#include "platform/draw/surface.h"
#include "platform/screen/frame_pacing.h"
#include "platform/screen/picture_scale.h"
#include "platform/web/page_interface.h"
#include "platform/web/web_backend.h"

namespace {

// ImageData reads a pixel's top byte as alpha; the game's colours leave it 0.
constexpr uint32_t OPAQUE = 0xFF000000u;

struct WebScreen {
    // The picture as the canvas holds it, opaque. Rows are compared with it to send
    // only those that changed. Not zeroed when allocated: the picture after the first
    // fills it (`kept`).
    UnclearedPixels<uint32_t> shown;
    bool kept = false;
    int32_t canvasWidth = 0;
    int32_t canvasHeight = 0;
    bool sendAll = true;
    bool skipPicture = false;
};

WebScreen screen;

// Copies `row` into `shown` as the canvas wants it; false when it was there already
// (`all`: `shown` holds nothing yet). A call of its own per row: the browser swaps in
// optimised WebAssembly only at a call, so a whole picture's rows get it after a few.
[[gnu::noinline]] bool UpdateShownRow(const uint32_t* row, uint32_t* shown, int32_t width, bool all) {
    int32_t k = 0;
    while (!all && k < width && (row[k] | OPAQUE) == shown[k]) ++k;
    if (k == width) return false;
    for (; k < width; ++k) shown[k] = row[k] | OPAQUE;
    return true;
}

// The first picture at a size goes to the canvas from the back buffer itself, made
// opaque there (the back end's to change once shown: the next frame clears it). A
// copy to compare the next one with would cost the start 3 MB of fresh memory, a page
// fault on each first touch; the next picture is sent whole and kept instead.
void ShowFirstPicture(Surface& backBuffer) {
    for (uint32_t& pixel : backBuffer.pixels) pixel |= OPAQUE;
    PutPageRows(backBuffer.pixels.data(), backBuffer.width, backBuffer.height, 0, backBuffer.height);
}

}  // namespace

bool StartVideo() {
    ListenToPageEvents();
    return true;
}

bool OpenWindow(int32_t, int32_t, const char* title) {
    emscripten_set_window_title(title);
    return true;
}

void CloseWindow() {
    screen = WebScreen{};
}

void StopVideo() {}

// The page's focus and visibility events report the activation as they come.
void HandleWindowMessages() {}

void ShowPicture(Surface& backBuffer, bool whole) {
    // A picture kept off the canvas leaves what the canvas lost to the next one.
    if (whole) screen.sendAll = true;
    if (screen.skipPicture) return;
    const int32_t width = backBuffer.width;
    const int32_t height = backBuffer.height;
    if (width <= 0 || height <= 0) return;
    // A resized canvas has lost its pixels.
    if (width != screen.canvasWidth || height != screen.canvasHeight) {
        SizePageCanvas(width, height);
        screen.canvasWidth = width;
        screen.canvasHeight = height;
        screen.kept = false;
        ShowFirstPicture(backBuffer);
        NotePageFramePresented();
        return;
    }
    if (!screen.kept) {
        ReservePixels(screen.shown, static_cast<std::size_t>(width) * height);
        screen.kept = true;
        screen.sendAll = true;
    }
    // Changed rows go to the canvas in bands of neighbours, one call a band.
    uint32_t* shown = screen.shown.items.get();
    int32_t bandTop = -1;
    for (int32_t y = 0; y < height; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * width;
        const bool changed = UpdateShownRow(backBuffer.pixels.data() + at, shown + at, width, screen.sendAll);
        if (changed && bandTop < 0) bandTop = y;
        if (!changed && bandTop >= 0) {
            PutPageRows(shown, width, height, bandTop, y);
            bandTop = -1;
        }
    }
    if (bandTop >= 0) PutPageRows(shown, width, height, bandTop, height);
    screen.sendAll = false;
    NotePageFramePresented();
}

void PaceFrame(FramePacing&) {}

int32_t GameFramesDueNow() {
    // emscripten_get_now is performance.now(): milliseconds, with fractions.
    const auto now = static_cast<int64_t>(emscripten_get_now() * (PACING_COUNTER_FREQUENCY / 1000));
    return GameFramesDue(ScreenPacing(), now);
}

void SkipPicture(bool skip) {
    screen.skipPicture = skip;
}

PicturePlace PagePicturePlace() {
    return FitPicture(screen.canvasWidth, screen.canvasHeight, PageScreenWidth(), PageScreenHeight());
}

uint32_t ReadTickCount() {
    return static_cast<uint32_t>(static_cast<int64_t>(emscripten_get_now()));
}

void ShowErrorBox(const char* title, const char* text) {
    ShowPageError(title, text);
}
