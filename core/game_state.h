// The game's program-wide state, owned by the application core and changed in
// place by the phases of the frame loop.
#pragma once

#include <cstdint>

inline constexpr int32_t SCREEN_WIDTH = 1024;
inline constexpr int32_t SCREEN_HEIGHT = 768;

extern int32_t simulationRunning;
extern int32_t levelNumber;
extern int32_t pointerX;
extern int32_t pointerY;
extern int32_t viewOffsetX;
extern int32_t viewOffsetY;
extern int32_t button1Gesture;
extern int32_t button2Gesture;

// Puts the game state above back to its start values (tests start from here).
void ResetGameState();
