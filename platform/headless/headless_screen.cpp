// The headless screen: a flip chain in memory, presented frames kept for reading,
// the frame cap applied to the virtual clock, error messages kept for tests.
#include <string>
#include <utility>
#include <vector>

#include "platform/backend.h"
#include "platform/draw/surface.h"
#include "platform/headless.h"
#include "platform/headless/headless_backend.h"
#include "platform/input/input_state.h"
#include "platform/screen/frame_pacing.h"

namespace {

struct HeadlessScreen {
    int32_t width = 0;
    int32_t height = 0;
    bool windowOpen = false;
    std::vector<uint32_t> frontPixels;  // the flip chain's front buffer
    int64_t presentedFrames = 0;
    HeadlessError lastError;
};

HeadlessScreen headlessScreen;

}  // namespace

bool StartVideo() {
    return true;
}

bool OpenWindow(int32_t width, int32_t height, const char*) {
    headlessScreen.width = width;
    headlessScreen.height = height;
    headlessScreen.frontPixels.assign(static_cast<std::size_t>(width) * height, 0u);
    headlessScreen.windowOpen = true;
    return true;
}

// The last presented frame stays readable, as it stays on screen until the program
// ends; only the window itself closes.
void CloseWindow() {
    headlessScreen.windowOpen = false;
}

void StopVideo() {}

void HandleWindowMessages() {}

void ShowPicture(Surface& backBuffer, bool) {
    // A flip exchanges the buffers, it copies nothing.
    if (headlessScreen.frontPixels.size() != backBuffer.pixels.size()) {
        headlessScreen.frontPixels.assign(backBuffer.pixels.size(), 0u);
    }
    std::swap(headlessScreen.frontPixels, backBuffer.pixels);
    headlessScreen.width = backBuffer.width;
    headlessScreen.height = backBuffer.height;
    ++headlessScreen.presentedFrames;
}

// The frame takes exactly one period of virtual time, and ends where a wait would.
void PaceFrame(FramePacing& pacing) {
    if (pacing.cap == 0) return;
    AdvanceHeadlessClock(pacing.period);
    pacing.reference = static_cast<int32_t>(static_cast<uint32_t>(HeadlessCounter()));
}

void ShowErrorBox(const char* title, const char* text) {
    headlessScreen.lastError = {title, text, headlessScreen.windowOpen};
}

void HeadlessSetActive(bool active) {
    NoteWindowActive(active);
}

const uint32_t* HeadlessPresentedPixels() {
    if (headlessScreen.presentedFrames == 0) return nullptr;
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

bool HeadlessWindowOpen() {
    return headlessScreen.windowOpen;
}

const HeadlessError& HeadlessLastError() {
    return headlessScreen.lastError;
}

void ResetPlatform() {
    ReleaseScreen();
    ResetScreen();
    ResetDrawing();
    headlessScreen = HeadlessScreen{};
    ResetHeadlessClock();
    ResetInputState();
}
