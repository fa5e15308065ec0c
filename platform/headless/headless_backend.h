// Inside the headless back end: what its screen asks of its clock.
#pragma once

#include <cstdint>

// One presented frame under a cap: the virtual counter moves on by that many ticks.
void AdvanceHeadlessClock(int64_t ticks);
// The virtual counter back to 0 (ResetPlatform).
void ResetHeadlessClock();
