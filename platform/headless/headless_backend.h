// Inside the headless back end: what its screen asks of its clock and input
// files. Each file keeps its own state; these are the ways the others act on it.
#pragma once

#include <cstdint>

// One presented frame under a cap: the virtual counter moves on by that many ticks.
void AdvanceHeadlessClock(int64_t ticks);
// The virtual counter back to 0 (ResetPlatform).
void ResetHeadlessClock();

// Keyboard and mouse back to not opened, scripted keys and queued events forgotten.
void ResetHeadlessInput();
