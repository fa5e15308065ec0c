// The game's program-wide state, in three records owned by the application core
// and changed in place by the phases of the frame loop. Each record holds its own
// start values: `editor = EditorState{}` is the whole reset.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int32_t SCREEN_WIDTH = 1024;
inline constexpr int32_t SCREEN_HEIGHT = 768;

// The start/stop switch and the level.
struct GameState {
    int32_t simulationRunning = 0;
    int32_t levelNumber = 1;
    // Empty: "Level<N>.bmp" looked up in the current folder, beside the executable,
    // then in the installed data folder. The replay tool and tests name a file here.
    std::string levelFileOverride;
    // Why the last LoadLevel failed, in one line naming the file.
    std::string levelError;
};

// Pointer, view, the buttons' gestures of this frame, the chain being placed and
// the selection frame.
struct EditorState {
    int32_t pointerX = SCREEN_WIDTH / 2;  // screen pixels
    int32_t pointerY = SCREEN_HEIGHT / 2;
    int32_t viewOffsetX = -400;  // screen = world + view offset
    int32_t viewOffsetY = -400;
    int32_t button1Gesture = 0;  // gesture codes; 0 is idle
    int32_t button2Gesture = 0;

    int32_t cursorColumn = 0;  // the node under the pointer
    int32_t cursorRow = 0;
    int32_t placingBeam = 0;  // 1 while a chain is being drawn
    int32_t startColumn = 0;  // where the next beam starts
    int32_t startRow = 0;
    int32_t endColumn = 0;  // where it would end: last frame's cursor
    int32_t endRow = 0;
    int32_t bandLength = 0;  // start to end in grid units, rounded

    // The selection frame's corners in world pixels; never ordered: the second
    // corner may lie left of or above the first.
    int32_t frameX1 = 0;
    int32_t frameY1 = 0;
    int32_t frameX2 = 0;
    int32_t frameY2 = 0;
};

// The frame-rate meter's window of frames and what it showed last.
struct FrameRateMeterState {
    int32_t fpsFrameCount = 0;
    uint32_t fpsBaseTick = 0;
    int32_t lastFrameRate = 0;
};

extern GameState game;
extern EditorState editor;
extern FrameRateMeterState fpsMeter;
