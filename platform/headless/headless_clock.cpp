// The virtual clock: a 10 MHz counter that moves only when a frame is presented.
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/headless/headless_backend.h"
#include "platform/screen/frame_pacing.h"

namespace {

// The millisecond tick starts this close to its wrap, so that any run longer
// than a few seconds of virtual time shows whether tick differences are taken
// modulo 2^32 (the same trick some kernels play with their jiffies).
inline constexpr uint32_t HEADLESS_TICK_START = 0xFFFFF000u;  // wraps after 4.096 s
inline constexpr int64_t TICKS_PER_MILLISECOND = PACING_COUNTER_FREQUENCY / 1000;

int64_t headlessCounter = 0;

}  // namespace

void AdvanceHeadlessClock(int64_t ticks) {
    headlessCounter += ticks;
}

void ResetHeadlessClock() {
    headlessCounter = 0;
}

uint32_t ReadTickCount() {
    return HEADLESS_TICK_START + static_cast<uint32_t>(headlessCounter / TICKS_PER_MILLISECOND);
}

int64_t HeadlessCounter() {
    return headlessCounter;
}
