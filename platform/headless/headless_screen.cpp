// The headless screen: a flip chain in memory, presented frames kept for
// reading, the frame cap applied to the virtual clock.
#include <utility>
#include <vector>

#include "platform/display.h"
#include "platform/draw/surface.h"
#include "platform/headless.h"
#include "platform/headless/headless_backend.h"
#include "platform/input/input_state.h"
#include "platform/screen/frame_pacing.h"

int32_t appActive = 0;

namespace {

struct HeadlessScreen {
    bool systemReady = false;  // InitSpriteSystem has run
    bool open = false;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> frontPixels;  // the flip chain's front buffer
    int64_t presentedFrames = 0;
    bool pendingActive = true;  // the window's activation as of the next PresentFrame
};

HeadlessScreen headlessScreen;
FramePacing framePacing;

}  // namespace

int32_t InitSpriteSystem() {
    headlessScreen.systemReady = true;
    framePacing = FramePacing{};
    return 1;
}

int32_t OpenFullScreen(int32_t width, int32_t height, int32_t depth, const char* title) {
    (void)title;
    // The arguments are 16-bit values, as the display interface takes them.
    const auto w = static_cast<int16_t>(width);
    const auto h = static_cast<int16_t>(height);
    const auto d = static_cast<int16_t>(depth);
    if (!headlessScreen.systemReady || w <= 0 || h <= 0 || (d != 16 && d != 24 && d != 32)) {
        ReleaseScreen();
        return 0;
    }
    AllocateBackBuffer(w, h);
    headlessScreen.width = w;
    headlessScreen.height = h;
    headlessScreen.frontPixels.assign(SettledBackBuffer().pixels.size(), 0u);
    headlessScreen.open = true;
    framePacing.reference = 0;
    // Showing the window activates it; a script may deactivate it later.
    headlessScreen.pendingActive = true;
    appActive = 1;
    return 1;
}

void PresentFrame() {
    // A drawing left open on the back buffer lets go of it before the flip.
    ReleaseBackBufferDrawing();
    // The window's messages: only its activation changes here.
    appActive = headlessScreen.pendingActive ? 1 : 0;
    if (headlessScreen.open && appActive == 1) {
        // A flip exchanges the buffers, it copies nothing.
        Surface& backBuffer = SettledBackBuffer();
        if (headlessScreen.frontPixels.size() != backBuffer.pixels.size()) {
            headlessScreen.frontPixels.assign(backBuffer.pixels.size(), 0u);
        }
        std::swap(headlessScreen.frontPixels, backBuffer.pixels);
        headlessScreen.width = backBuffer.width;
        headlessScreen.height = backBuffer.height;
        ++headlessScreen.presentedFrames;
    }
    // The frame takes exactly one pacing period of virtual time.
    if (framePacing.cap != 0) {
        AdvanceHeadlessClock(framePacing.period);
    }
}

int32_t SetFrameCap(int32_t framesPerSecond) {
    return SetPacingCap(framePacing, PACING_COUNTER_FREQUENCY, framesPerSecond);
}

void ReleaseScreen() {
    ReleaseDrawing();
    AllocateBackBuffer(0, 0);
    // The last presented frame stays readable, as it stays on screen until the
    // program ends; only the screen itself closes.
    headlessScreen.open = false;
    appActive = 0;
}

void ShowErrorMessage(const char* title, const char* text) {
    (void)title;
    (void)text;
}

void HeadlessSetActive(bool active) {
    headlessScreen.pendingActive = active;
}

const uint32_t* HeadlessPresentedPixels() {
    if (headlessScreen.presentedFrames == 0) {
        return nullptr;
    }
    return headlessScreen.frontPixels.data();
}

int32_t HeadlessScreenWidth() {
    return headlessScreen.width;
}

int32_t HeadlessScreenHeight() {
    return headlessScreen.height;
}

int64_t HeadlessPresentedFrameCount() {
    return headlessScreen.presentedFrames;
}

void ResetPlatform() {
    ResetDrawing();
    AllocateBackBuffer(0, 0);
    headlessScreen = HeadlessScreen{};
    framePacing = FramePacing{};
    ResetHeadlessClock();
    appActive = 0;
    ResetHeadlessInput();
    ResetInputState();
}
