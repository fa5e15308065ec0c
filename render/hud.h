// The heads-up display: pointer arrow, status lines, legend and help; and the frame-rate meter.
#pragma once

#include <cstdint>

extern int32_t fpsFrameCount;
extern uint32_t fpsBaseTick;
// What FrameRateMeter returned last (shown as "FPS: ").
extern int32_t lastFrameRate;

// Ends the drawing that the scene began.
void DrawHud();
void DrawPointerArrow();
// Counts one frame per call; frames per second averaged over the last 50 to 99 frames.
int32_t FrameRateMeter();

void ResetFrameRateMeter(uint32_t baseTick);
