// The browser's screen: the back buffer scaled crisply to the canvas's device
// pixels, centred between black bars, and only the rows that changed put into the
// canvas; the page's focus and visibility as the window's activation; frame pacing
// decided at each display frame.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <vector>

#include "platform/display.h"
#include "platform/draw/surface.h"
#include "platform/screen/frame_pacing.h"
#include "platform/screen/picture_scale.h"
#include "platform/web/web_backend.h"

int32_t appActive = 0;

namespace {

struct WebScreen {
    bool systemReady = false;
    bool open = false;
    int32_t width = 0;  // the game's picture
    int32_t height = 0;
    PictureScaler scaler;
    std::vector<uint32_t> scaled;  // the scaled picture, as ImageData wants it
    int32_t canvasWidth = 0;
    int32_t canvasHeight = 0;
    bool firstFramePresented = false;
    bool skipPicture = false;
};

WebScreen screen;
FramePacing framePacing;

// The page (index.html) keeps the canvas's backing store at its device-pixel size.
EM_JS(int, CanvasWidth, (), { return window['karnoltPage']['canvas']['width']; });
EM_JS(int, CanvasHeight, (), { return window['karnoltPage']['canvas']['height']; });

EM_JS(void, FillCanvasBlack, (), {
    const page = window['karnoltPage'];
    page['context']['fillStyle'] = '#000';
    page['context']['fillRect'](0, 0, page['canvas']['width'], page['canvas']['height']);
});

// Rows [top, bottom) of the scaled picture at `pixels` (RGBA bytes, `width` a row,
// `height` rows) into the canvas at x, y; the rest of the canvas is left alone.
EM_JS(void, PutRows, (const uint32_t* pixels, int width, int height, int x, int y, int top, int bottom), {
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
    window['karnoltPage']['context']['putImageData'](new ImageData(bytes, width, height), x, y, 0, top, width,
                                                     bottom - top);
});

// For the page's start-up measurement and the browser test: when each frame went up.
EM_JS(void, NoteFramePresented, (), { window['karnoltPage']['framePresented'](); });

EM_JS(void, ShowPageError, (const char* title, const char* text),
      { window['karnoltPage']['showError'](UTF8ToString(title), UTF8ToString(text)); });

void ShowBackBuffer() {
    const Surface& backBuffer = SettledBackBuffer();
    if (backBuffer.width != screen.width || backBuffer.height != screen.height || backBuffer.pixels.empty()) {
        return;
    }
    const int32_t canvasWidth = CanvasWidth();
    const int32_t canvasHeight = CanvasHeight();
    if (canvasWidth <= 0 || canvasHeight <= 0) return;
    // A resized canvas has lost its pixels.
    if (canvasWidth != screen.canvasWidth || canvasHeight != screen.canvasHeight) {
        screen.canvasWidth = canvasWidth;
        screen.canvasHeight = canvasHeight;
        screen.scaler.redrawAll = true;
    }
    PrepareScaler(screen.scaler, screen.width, screen.height, canvasWidth, canvasHeight);
    const PicturePlace place = screen.scaler.place;
    if (place.width <= 0 || place.height <= 0) return;
    screen.scaled.resize(static_cast<std::size_t>(place.width) * place.height);
    if (screen.scaler.redrawAll) FillCanvasBlack();
    for (const RowBand& band : ScaleChangedRows(screen.scaler, backBuffer.pixels.data(), screen.scaled.data(),
                                                place.width, false)) {
        // The game's colours leave the top byte 0; ImageData reads it as alpha.
        uint32_t* row = screen.scaled.data() + static_cast<std::size_t>(band.top) * place.width;
        const std::size_t count = static_cast<std::size_t>(band.bottom - band.top) * place.width;
        for (std::size_t k = 0; k < count; ++k) row[k] |= 0xFF000000u;
        PutRows(screen.scaled.data(), place.width, place.height, place.x, place.y, band.top, band.bottom);
    }
    NoteFramePresented();
}

}  // namespace

int32_t InitSpriteSystem() {
    screen.systemReady = true;
    framePacing = FramePacing{};
    ListenToPageEvents();
    return 1;
}

int32_t OpenFullScreen(int32_t width, int32_t height, int32_t depth, const char* title) {
    // The arguments are 16-bit values, as the display interface takes them.
    const auto w = static_cast<int16_t>(width);
    const auto h = static_cast<int16_t>(height);
    const auto d = static_cast<int16_t>(depth);
    if (!screen.systemReady || w <= 0 || h <= 0 || (d != 16 && d != 24 && d != 32)) {
        ReleaseScreen();
        return 0;
    }
    if (title != nullptr) emscripten_set_window_title(title);
    screen.width = w;
    screen.height = h;
    screen.scaler = PictureScaler{};
    screen.open = true;
    AllocateBackBuffer(w, h);
    framePacing.reference = 0;
    framePacing.displayInterval = 0;
    appActive = 1;
    return 1;
}

void PresentFrame() {
    // A drawing left open on the back buffer lets go of it before the picture goes up.
    ReleaseBackBufferDrawing();
    // The page's focus and visibility events change the activation only here.
    const int32_t active = PageActive() ? 1 : 0;
    // What the canvas showed may have been covered: the next frame goes up whole.
    if (active == 1 && appActive == 0) screen.scaler.redrawAll = true;
    appActive = active;
    if (screen.open && appActive == 1 && !screen.skipPicture) ShowBackBuffer();
}

PicturePlace CanvasPicturePlace() {
    return screen.scaler.place;
}

void SkipPicture(bool skip) {
    screen.skipPicture = skip;
}

int32_t SetFrameCap(int32_t framesPerSecond) {
    return SetPacingCap(framePacing, PACING_COUNTER_FREQUENCY, framesPerSecond);
}

int32_t GameFramesDueNow() {
    // emscripten_get_now is performance.now(): milliseconds, with fractions.
    const auto now = static_cast<int64_t>(emscripten_get_now() * (PACING_COUNTER_FREQUENCY / 1000));
    return GameFramesDue(framePacing, now);
}

void ReleaseScreen() {
    ReleaseDrawing();
    AllocateBackBuffer(0, 0);
    screen.open = false;
    screen.scaler = PictureScaler{};
    screen.scaled = {};
    appActive = 0;
}

uint32_t ReadTickCount() {
    return static_cast<uint32_t>(static_cast<int64_t>(emscripten_get_now()));
}

void ShowErrorMessage(const char* title, const char* text) {
    ShowPageError(title != nullptr ? title : "", text != nullptr ? text : "");
}
