// The virtual clock: a 10 MHz counter that moves only when a frame is presented.
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/headless/headless_state.h"
#include "platform/input/frame_pacing.h"

int64_t headlessCounter = 0;

namespace {

inline constexpr int64_t TICKS_PER_MILLISECOND = PACING_COUNTER_FREQUENCY / 1000;

}  // namespace

uint32_t ReadTickCount() {
    return HEADLESS_TICK_START + static_cast<uint32_t>(headlessCounter / TICKS_PER_MILLISECOND);
}

int64_t HeadlessCounter() {
    return headlessCounter;
}

int64_t HeadlessCounterFrequency() {
    return PACING_COUNTER_FREQUENCY;
}
