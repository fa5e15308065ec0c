// The headless back end's own controls: scripted input, the virtual clock and
// the presented picture. Used by tests, benchmarks and the replay tool; the
// game logic never includes this.
#pragma once

#include <cstdint>
#include <string>

// Key state for every keyboard snapshot from the next ReadKeyboard on.
void HeadlessSetKey(int32_t scanCode, bool down);
// Queued mouse events, read by the next ReadMouse (at most MOUSE_EVENT_BUFFER a read;
// more than that between two reads is an overflow). Every call is one event.
void HeadlessQueueMotionX(int32_t value);
void HeadlessQueueMotionY(int32_t value);
void HeadlessQueueButton(int32_t button, bool down);  // buttons 1 to 3
void HeadlessQueueWheel(int32_t value);
// Window activation, in force from the next frame on.
void HeadlessSetActive(bool active);

// The last presented frame, width x height pixels in the MakeColour layout, or
// nullptr before the first presentation.
const uint32_t* HeadlessPresentedPixels();
int32_t HeadlessScreenWidth();
int32_t HeadlessScreenHeight();
int64_t HeadlessPresentedFrameCount();
// Whether OpenFullScreen's window is open (the last picture stays readable after it closes).
bool HeadlessWindowOpen();

// The last ShowErrorMessage: its texts, and whether a window was still open to hide it.
struct HeadlessError {
    std::string title;
    std::string text;
    bool windowOpen = false;
};
const HeadlessError& HeadlessLastError();

// The virtual performance counter (10 MHz, PACING_COUNTER_FREQUENCY). It starts at
// 0; each PresentFrame under a cap adds one period. ReadTickCount follows it in
// milliseconds from 0xFFFFF000, so it wraps 4.096 s into a run.
int64_t HeadlessCounter();

// Puts every platform service (screen, drawing, sprites, input, clock) back to
// its state before start-up, so a test can start the program afresh.
void ResetPlatform();
