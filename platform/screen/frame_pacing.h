// Inside the platform layer: the frame cap's arithmetic. The shared screen keeps the
// one FramePacing record (screen.cpp); the SDL back end waits with it on the real
// counter, the browser's asks at each display frame whether a game frame is due, the
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
// Behind by more periods than this, the browser's pacing starts afresh.
inline constexpr int32_t PACING_MAX_BEHIND = 4;

struct FramePacing {
    int32_t cap = 0;  // frames per second, 0 = no pacing
    int32_t period = 0;
    int32_t reference = 0;
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

// The browser's pacing, asked once per display frame at counter reading `now`: true
// when a game frame runs in it. At most one game frame per display frame, one per
// period on average on displays of any rate, and after a long pause no catching up.
// Always true while the cap is 0.
bool DisplayFrameRunsGameFrame(FramePacing& pacing, int64_t now);
