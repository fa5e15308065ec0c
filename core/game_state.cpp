#include "core/game_state.h"

int32_t simulationRunning = 0;
int32_t levelNumber = 1;
int32_t pointerX = 512;
int32_t pointerY = 384;
int32_t viewOffsetX = -400;
int32_t viewOffsetY = -400;
int32_t button1Gesture = 0;
int32_t button2Gesture = 0;

void ResetGameState() {
    simulationRunning = 0;
    levelNumber = 1;
    pointerX = 512;
    pointerY = 384;
    viewOffsetX = -400;
    viewOffsetY = -400;
    button1Gesture = 0;
    button2Gesture = 0;
}
