// Inside the platform layer: the frame cap's arithmetic. The shared screen keeps the
// one FramePacing record (screen.cpp); the SDL back end waits with it on the real
// counter, the browser's asks at each display frame how many game frames are due, the
// headless back end takes the period from it and advances its virtual counter.
#pragma once

#include <cstdint>

// Every back end counts in ticks of 100 ns: the period of the cap of 60 is
// 163934 ticks, and the low 32 bits of the counter change sign only every
// 214 seconds (a nanosecond counter would restart the measurement every two).
inline constexpr int64_t PACING_COUNTER_FREQUENCY = 10'000'000;
// The wait sleeps until this long before the deadline and polls for the rest.
inline constexpr int32_t PACING_SLEEP_MARGIN = 15'000;  // 1.5 ms
// Within that margin it polls between short naps, and without pause only for the
// final stretch: a nap may wake a little late, a spinning poll holds a core.
inline constexpr int32_t PACING_NAP = 1'000;   // 0.1 ms
inline constexpr int32_t PACING_SPIN = 2'500;  // 0.25 ms

// A display frame up to 1/PACING_DISPLAY_SLACK of a period early still runs a game frame.
inline constexpr int32_t PACING_DISPLAY_SLACK = 8;
// Behind by more periods than this, the browser's pacing starts afresh: a pause,
// not a display frame or two that came late.
inline constexpr int32_t PACING_MAX_BEHIND = 8;
// The most game frames one display frame runs: enough for a 15 Hz display, and a
// machine too slow for the game still shows a picture every few frames.
inline constexpr int32_t PACING_MAX_FRAMES_PER_DISPLAY = 4;
// Each display frame moves the estimate of the display's frame time by this
// fraction of the difference: display frames jitter by far more than 60 and 61 Hz differ.
inline constexpr int32_t PACING_DISPLAY_SMOOTHING = 8;

struct FramePacing {
    int32_t cap = 0;  // frames per second, 0 = no pacing
    int32_t period = 0;
    int32_t reference = 0;
    // The browser's: the low word of the previous display frame's time, and the
    // display's frame time as estimated from the recent ones (0 until known).
    int32_t lastDisplay = 0;
    int32_t displayInterval = 0;
};

// frequency / (fps + 1) in 64 bits, truncated to 32: with 60 a 61st of a second.
int32_t PacingPeriod(int64_t frequency, int32_t framesPerSecond);
// The SetFrameCap arithmetic: 1, or 0 and nothing changed for a negative cap or
// a counter without a frequency.
int32_t SetPacingCap(FramePacing& pacing, int64_t frequency, int32_t framesPerSecond);

// Waits until more than one period has passed since the end of the previous
// wait (or since the low word of the counter changed sign), then makes now the
// new reference. Sleeps through all but the last PACING_SLEEP_MARGIN ticks, naps
// through most of those, and spins only for the last PACING_SPIN.
// Does nothing while the cap is 0.
void WaitForFrameCap(FramePacing& pacing, int64_t (*readCounter)(), void (*sleepTicks)(int32_t ticks));

// The browser's pacing, asked once per display frame at counter reading `now`: how
// many game frames run in it. One per period on average on displays of any rate; on
// a display as fast as the cap or faster never more than one per display frame, on
// a slower one as many as the periods that have passed, at most
// PACING_MAX_FRAMES_PER_DISPLAY; after a pause no catching up.
// Always 1 while the cap is 0.
int32_t GameFramesDue(FramePacing& pacing, int64_t now);
