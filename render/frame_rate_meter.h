// The frame-rate meter shown as "FPS: ".
#pragma once

#include <cstdint>

// Counts one frame per call; frames per second averaged over the last 50 to 99
// frames, measured on the platform's millisecond tick.
int32_t FrameRateMeter();
