// The screen's operations, written once for every back end: the arguments checked,
// the back buffer sized and freed, the window's activation kept, the frame paced,
// and what PresentFrame does in its order. The back end opens and shows (backend.h).
#include <cstdint>

#include "platform/backend.h"
#include "platform/display.h"
#include "platform/draw/surface.h"
#include "platform/input/input_state.h"
#include "platform/screen/frame_pacing.h"

int32_t appActive = 0;

namespace {

struct Screen {
    bool videoReady = false;  // InitSpriteSystem has run
    bool open = false;
    // The window's activation as the back end last reported it; appActive follows it
    // in PresentFrame, where window messages are handled.
    bool windowActive = true;
    FramePacing pacing;
};

Screen screen;

// Undoes an opening, sprites and drawing included; the display system stays up.
void CloseScreen() {
    ReleaseDrawing();
    AllocateBackBuffer(0, 0);
    CloseWindow();
    screen.open = false;
    appActive = 0;
}

}  // namespace

int32_t InitSpriteSystem() {
    screen.pacing = FramePacing{};
    screen.videoReady = StartVideo();
    return screen.videoReady ? 1 : 0;
}

int32_t OpenFullScreen(int32_t width, int32_t height, int32_t depth, const char* title) {
    // The arguments are 16-bit values, as the display interface takes them.
    const auto w = static_cast<int16_t>(width);
    const auto h = static_cast<int16_t>(height);
    const auto d = static_cast<int16_t>(depth);
    // A second opening replaces the window.
    if (screen.open) CloseWindow();
    if (!screen.videoReady || w <= 0 || h <= 0 || (d != 16 && d != 24 && d != 32) ||
        !OpenWindow(w, h, title != nullptr ? title : "")) {
        CloseScreen();
        return 0;
    }
    AllocateBackBuffer(w, h);
    screen.open = true;
    screen.pacing.reference = 0;
    // Showing the window activates it; the back end reports changes from here on.
    NoteWindowActive(true);
    appActive = 1;
    return 1;
}

int32_t SetFrameCap(int32_t framesPerSecond) {
    return SetPacingCap(screen.pacing, PACING_COUNTER_FREQUENCY, framesPerSecond);
}

void PresentFrame() {
    // A drawing left open on the back buffer lets go of it before the picture goes up.
    ReleaseBackBufferDrawing();
    // The window's messages: only its activation changes here.
    const int32_t wasActive = appActive;
    if (screen.videoReady) HandleWindowMessages();
    appActive = screen.open && screen.windowActive ? 1 : 0;
    if (appActive == 1) {
        // What the screen showed while the window was inactive may be gone.
        ShowPicture(SettledBackBuffer(), wasActive == 0);
    }
    PaceFrame(screen.pacing);
}

void ReleaseScreen() {
    CloseScreen();
    if (screen.videoReady) StopVideo();
    screen.videoReady = false;
}

void ShowErrorMessage(const char* title, const char* text) {
    ShowErrorBox(title != nullptr ? title : "", text != nullptr ? text : "");
}

void NoteWindowActive(bool active) {
    screen.windowActive = active;
    SetKeyboardFocus(active);
}

FramePacing& ScreenPacing() {
    return screen.pacing;
}

void ResetScreen() {
    screen = Screen{};
    appActive = 0;
}
