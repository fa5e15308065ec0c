#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <vector>

#include "platform/display.h"
#include "platform/draw/surface.h"
#include "platform/input.h"
#include "platform/sdl/sdl_backend.h"
#include "tests/platform/sdl/sdl_events.h"

namespace {

// The SDL back end on SDL's dummy video driver: a real window object, a real
// renderer (software), no display needed.
class SdlTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ResetSdlInput();
        ASSERT_NE(InitSpriteSystem() * OpenKeyboard() * OpenMouse(), 0) << SDL_GetError();
        ASSERT_NE(OpenFullScreen(1024, 768, 32, "Karnolt") * SetFrameCap(60), 0) << SDL_GetError();
    }
    void TearDown() override {
        ReleaseScreen();
        ResetSdlInput();
    }
};

// What every back end does on opening and releasing is the contract test's, and what
// reaches the screen the end-to-end tests'; here what only a desktop window does.
TEST_F(SdlTest, OpensFullScreenWithoutACursorAndShutsDown) {
    ASSERT_NE(SdlWindow(), nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(SdlWindow()), "Karnolt");
    EXPECT_NE(SDL_GetWindowFlags(SdlWindow()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    ReleaseScreen();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST_F(SdlTest, MotionRunsAreMergedSoOnlyAFloodOverflows) {
    EXPECT_EQ(ReadMouse(), 1);  // takes the mouse
    // A 1000 Hz mouse: far more motion reports than buffer slots in one frame.
    for (int i = 0; i < 100; ++i) {
        PushMotion(1, -2);
    }
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 1;
    for (int i = 0; i < 100; ++i) PushSdlEvent(wheel);
    PushButton(SDL_BUTTON_LEFT, true);
    PushMotion(3, 0);
    PushButton(SDL_BUTTON_RIGHT, true);
    PushButton(SDL_BUTTON_MIDDLE, true);
    const auto read = [] {
        const int32_t result = ReadMouse();
        return std::vector({result, MouseMotionX(), MouseMotionY(), MouseButtonDown(1), MouseButtonDown(2),
                            MouseButtonDown(3)});
    };
    EXPECT_EQ(read(), std::vector({1, 103, -200, 1, 1, 1}));

    // A flood of separate events still overflows: buttons 1 and 2 let go.
    for (int i = 0; i < 13; ++i) {
        PushButton(SDL_BUTTON_X1, true);
        PushButton(SDL_BUTTON_X1, false);
    }
    EXPECT_EQ(read(), std::vector({0, 0, 0, 0, 0, 1}));
}

// Window events change appActive only inside PresentFrame; what an inactive window
// does with the keys and the mouse is the contract test's.
TEST_F(SdlTest, WindowEventsKeepAppActive) {
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
        ReadMouse();  // reads see the change only after PresentFrame
        EXPECT_EQ(appActive, before);
        PresentFrame();
        EXPECT_EQ(appActive, step.active) << static_cast<int>(step.event);
    }
}

}  // namespace
