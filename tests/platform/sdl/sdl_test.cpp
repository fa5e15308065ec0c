#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/display.h"
#include "platform/draw/surface.h"
#include "platform/input.h"
#include "platform/input/key_table.h"
#include "platform/sdl/sdl_backend.h"

namespace {

// The SDL back end on SDL's dummy video driver: a real window object, a real
// renderer (software), no display needed.
class SdlTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ResetSdlInput();
        ASSERT_NE(InitSpriteSystem(), 0) << SDL_GetError();
        ASSERT_NE(OpenKeyboard(), 0);
        ASSERT_NE(OpenMouse(), 0);
        ASSERT_NE(OpenFullScreen(1024, 768, 32, "Karnolt"), 0) << SDL_GetError();
        ASSERT_NE(SetFrameCap(60), 0);
    }
    void TearDown() override {
        ReleaseScreen();
        ResetSdlInput();
    }

    static void PushWindowEvent(SDL_WindowEventID what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = SDL_GetWindowID(SdlWindow());
        event.window.event = static_cast<Uint8>(what);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    static void PushMotion(int32_t dx, int32_t dy) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.xrel = dx;
        event.motion.yrel = dy;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    static void PushButton(uint8_t sdlButton, bool down) {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = sdlButton;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
};

// What every back end does on opening and releasing is the contract test's; here
// what only a desktop window does.
TEST_F(SdlTest, OpensPacesAndShutsDown) {
    ASSERT_NE(SdlWindow(), nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(SdlWindow()), "Karnolt");
    EXPECT_NE(SDL_GetWindowFlags(SdlWindow()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    // What reaches the screen is checked on real X servers by the end-to-end tests.
    const auto start = std::chrono::steady_clock::now();
    PresentFrame();
    PresentFrame();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Two paced frames cannot end before two 61sts of a second.
    EXPECT_GE(elapsed, std::chrono::microseconds(2 * 16393));

    ReleaseScreen();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST_F(SdlTest, MotionRunsAreMergedSoOnlyAFloodOverflows) {
    EXPECT_EQ(ReadMouse(), 1);  // takes the mouse
    // A 1000 Hz mouse: far more motion reports than buffer slots in one frame.
    for (int i = 0; i < 100; ++i) {
        PushMotion(1, -2);
    }
    for (int i = 0; i < 100; ++i) {
        SDL_Event wheel{};
        wheel.type = SDL_MOUSEWHEEL;
        wheel.wheel.y = 1;
        ASSERT_EQ(SDL_PushEvent(&wheel), 1);
    }
    PushButton(SDL_BUTTON_LEFT, true);
    PushMotion(3, 0);
    PushButton(SDL_BUTTON_RIGHT, true);
    PushButton(SDL_BUTTON_MIDDLE, true);
    ASSERT_EQ(ReadMouse(), 1);
    EXPECT_EQ(MouseMotionX(), 103);
    EXPECT_EQ(MouseMotionY(), -200);
    EXPECT_EQ(MouseButtonDown(1), 1);
    EXPECT_EQ(MouseButtonDown(2), 1);
    EXPECT_EQ(MouseButtonDown(3), 1);

    // A flood of separate events still overflows: buttons 1 and 2 let go.
    for (int i = 0; i < 13; ++i) {
        PushButton(SDL_BUTTON_X1, true);
        PushButton(SDL_BUTTON_X1, false);
    }
    EXPECT_EQ(ReadMouse(), 0);
    EXPECT_EQ(MouseButtonDown(1), 0);
    EXPECT_EQ(MouseButtonDown(2), 0);
    EXPECT_EQ(MouseButtonDown(3), 1);
}

// Window events change appActive only inside PresentFrame; while inactive the
// mouse reports nothing and keeps its buttons.
TEST_F(SdlTest, WindowEventsKeepAppActiveAndAnInactiveWindowIgnoresTheMouse) {
    EXPECT_EQ(ReadMouse(), 1);
    PushButton(SDL_BUTTON_LEFT, true);
    ASSERT_EQ(ReadMouse(), 1);
    struct Step {
        SDL_WindowEventID event;
        int32_t active;
    };
    for (const Step step : {Step{SDL_WINDOWEVENT_MINIMIZED, 0}, Step{SDL_WINDOWEVENT_RESTORED, 1},
                            Step{SDL_WINDOWEVENT_FOCUS_LOST, 0}, Step{SDL_WINDOWEVENT_MOVED, 0},
                            Step{SDL_WINDOWEVENT_FOCUS_GAINED, 1}, Step{SDL_WINDOWEVENT_HIDDEN, 0},
                            Step{SDL_WINDOWEVENT_SHOWN, 1}, Step{SDL_WINDOWEVENT_EXPOSED, 1}}) {
        const int32_t before = appActive;
        PushWindowEvent(step.event);
        ASSERT_EQ(ReadMouse(), before);  // reads see the change only after PresentFrame
        EXPECT_EQ(appActive, before);
        PresentFrame();
        EXPECT_EQ(appActive, step.active) << static_cast<int>(step.event);
        PushMotion(5, 5);
        EXPECT_EQ(ReadMouse(), step.active);
        EXPECT_EQ(MouseMotionX() * (1 - step.active), 0);  // nothing while inactive
        EXPECT_EQ(MouseButtonDown(1), 1);
    }
}

// SDL numbers keys by their USB HID usages, which the key table is keyed by.
TEST(SdlKeyTest, KeyEventsReachTheGameAsSetOneCodes) {
    for (const auto& [scancode, set1] : {std::pair{SDL_SCANCODE_ESCAPE, SCAN_ESCAPE},
                                         {SDL_SCANCODE_RETURN, SCAN_RETURN},
                                         {SDL_SCANCODE_DELETE, SCAN_DELETE},
                                         {SDL_SCANCODE_KP_ENTER, 0x9C},
                                         {SDL_SCANCODE_RGUI, 0xDC}}) {
        EXPECT_EQ(Set1CodeOfUsage(scancode), set1) << SDL_GetScancodeName(scancode);
    }
}

}  // namespace
