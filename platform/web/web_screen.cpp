// The browser's screen: the back buffer scaled crisply to the canvas's device
// pixels, centred between black bars; frame pacing decided at each display frame.
// Where the page scales on WebGL2 (asked for in its address), only the changed rows at
// the game's size go to it, and its shader uses the same taps and blends as the
// processor's scaler; otherwise the processor scales the changed rows into the canvas.
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
    PictureScaler scaler;
    std::vector<uint32_t> scaled;  // the scaled picture, as ImageData wants it
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

namespace {

// The graphics processor scales: the page gets the changed rows at the game's size, and
// the axes' taps whenever the place changes.
void ShowPictureScaledByPage(const Surface& backBuffer, bool placeChanged) {
    const PictureScaler& scaler = screen.scaler;
    if (placeChanged) {
        PlacePagePicture(backBuffer.width, backBuffer.height, scaler.place.x, scaler.place.y,
                         scaler.columns.first.data(), scaler.columns.weight.data(), scaler.place.width,
                         scaler.rows.first.data(), scaler.rows.weight.data(), scaler.place.height);
    }
    const std::vector<RowBand> bands = MarkChangedRows(screen.scaler, backBuffer.pixels.data());
    for (const RowBand& band : bands) {
        PutPagePictureRows(backBuffer.pixels.data(), backBuffer.width, band.top, band.bottom);
    }
    if (!bands.empty()) DrawPagePicture();
}

}  // namespace

void ShowPicture(Surface& backBuffer, bool whole) {
    // A picture kept off the canvas leaves what the canvas lost to the next one.
    if (whole) screen.scaler.redrawAll = true;
    if (screen.skipPicture) return;
    const int32_t canvasWidth = PageCanvasWidth();
    const int32_t canvasHeight = PageCanvasHeight();
    if (canvasWidth <= 0 || canvasHeight <= 0) return;
    // A resized canvas has lost its pixels.
    if (whole || canvasWidth != screen.canvasWidth || canvasHeight != screen.canvasHeight) {
        screen.canvasWidth = canvasWidth;
        screen.canvasHeight = canvasHeight;
        screen.scaler.redrawAll = true;
    }
    const PicturePlace placeBefore = screen.scaler.place;
    const bool scaledBefore = !screen.scaler.columns.first.empty();
    PrepareScaler(screen.scaler, backBuffer.width, backBuffer.height, canvasWidth, canvasHeight);
    const PicturePlace place = screen.scaler.place;
    if (place.width <= 0 || place.height <= 0) return;
    if (PageScalesPicture() != 0) {
        ShowPictureScaledByPage(backBuffer, !scaledBefore || !(place == placeBefore));
        NotePageFramePresented();
        return;
    }
    screen.scaled.resize(static_cast<std::size_t>(place.width) * place.height);
    if (screen.scaler.redrawAll) FillPageCanvasBlack();
    for (const RowBand& band : ScaleChangedRows(screen.scaler, backBuffer.pixels.data(), screen.scaled.data(),
                                                place.width, false)) {
        // The game's colours leave the top byte 0; ImageData reads it as alpha.
        uint32_t* row = screen.scaled.data() + static_cast<std::size_t>(band.top) * place.width;
        const std::size_t count = static_cast<std::size_t>(band.bottom - band.top) * place.width;
        for (std::size_t k = 0; k < count; ++k) row[k] |= 0xFF000000u;
        PutPageRows(screen.scaled.data(), place.width, place.height, place.x, place.y, band.top, band.bottom);
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

PicturePlace CanvasPicturePlace() {
    return screen.scaler.place;
}

uint32_t ReadTickCount() {
    return static_cast<uint32_t>(static_cast<int64_t>(emscripten_get_now()));
}

void ShowErrorBox(const char* title, const char* text) {
    ShowPageError(title, text);
}
