// Inside the headless back end: its program-wide state, shared by its screen,
// clock and input files.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/input/input_state.h"

// The millisecond tick starts this close to its wrap, so that any run longer
// than a few seconds of virtual time shows whether tick differences are taken
// modulo 2^32 (the same trick some kernels play with their jiffies).
inline constexpr uint32_t HEADLESS_TICK_START = 0xFFFFF000u;  // wraps after 4.096 s

struct HeadlessScreen {
    bool systemReady = false;  // InitSpriteSystem has run
    bool open = false;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> frontPixels;  // the flip chain's front buffer
    int64_t presentedFrames = 0;
    bool pendingActive = true;  // the window's activation as of the next PresentFrame
};

struct HeadlessInput {
    bool keyboardOpen = false;
    bool mouseOpen = false;
    KeySnapshot scriptedKeys{};
    MouseEventBuffer mouseEvents;
};

extern HeadlessScreen headlessScreen;
extern HeadlessInput headlessInput;
extern int64_t headlessCounter;

void ResetHeadlessInput();
