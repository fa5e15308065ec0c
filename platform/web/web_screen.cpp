// The browser's screen: the canvas holds the back buffer at the game's own size, and
// the browser scales it to the window as it composes the page (index.html's style):
// as large as fits, centred between black bars, each game pixel a block of whole
// device pixels. Only the rows that changed since the last picture go to the canvas.
// Frame pacing is decided at each display frame.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <vector>

#include "platform/backend.h"
#include "platform/draw/surface.h"
#include "platform/screen/frame_pacing.h"
#include "platform/screen/picture_scale.h"
#include "platform/web/page_interface.h"
#include "platform/web/web_backend.h"

namespace {

struct WebScreen {
    PictureScaler scaler;          // at ratio 1: it finds the changed rows
    std::vector<uint32_t> opaque;  // changed rows as ImageData wants them
    int32_t canvasWidth = 0;
    int32_t canvasHeight = 0;
    bool skipPicture = false;
};

WebScreen screen;

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
    if (whole) screen.scaler.redrawAll = true;
    if (screen.skipPicture) return;
    const int32_t width = backBuffer.width;
    const int32_t height = backBuffer.height;
    if (width <= 0 || height <= 0) return;
    if (width != screen.canvasWidth || height != screen.canvasHeight) {
        SizePageCanvas(width, height);
        screen.canvasWidth = width;
        screen.canvasHeight = height;
    }
    // A new size (and a resized canvas has lost its pixels) marks every row changed.
    PrepareScaler(screen.scaler, width, height, width, height);
    screen.opaque.resize(static_cast<std::size_t>(width) * height);
    for (const RowBand& band : MarkChangedRows(screen.scaler, backBuffer.pixels.data())) {
        // The game's colours leave the top byte 0; ImageData reads it as alpha.
        const std::size_t first = static_cast<std::size_t>(band.top) * width;
        const std::size_t last = static_cast<std::size_t>(band.bottom) * width;
        for (std::size_t k = first; k < last; ++k) screen.opaque[k] = backBuffer.pixels[k] | 0xFF000000u;
        PutPageRows(screen.opaque.data(), width, height, band.top, band.bottom);
    }
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
