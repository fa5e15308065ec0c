// Placing beams chain by chain with button 1, removing them with button 2.
#pragma once

#include <cstdint>

inline constexpr int32_t BEAM_MIN_LENGTH = 2;
inline constexpr int32_t BEAM_MAX_LENGTH = 9;
inline constexpr int32_t CURSOR_RADIUS = 6;

extern int32_t cursorColumn;
extern int32_t cursorRow;
extern int32_t placingBeam;
extern int32_t startColumn;
extern int32_t startRow;
extern int32_t endColumn;
extern int32_t endRow;
extern int32_t bandLength;

// Cursor circle, clicks of both buttons, rubber band and selection frame, once per frame.
void EditorStep();

// World pixel to grid index: w / 20 rounded to nearest, an exact half to even.
int32_t NearestGridIndex(int32_t w);
// Removes every beam with an end on (column, row); changes no node.
void RemoveBeamsAtNode(int32_t column, int32_t row);

// Screen position of a grid index at rest, clamped into int range for drawing.
int32_t ScreenXOfColumn(int32_t column);
int32_t ScreenYOfRow(int32_t row);

void ResetEditorState();
