// The selection frame dragged with button 2, and the bulk deletion of the joints
// inside it while Delete is held.
#pragma once

#include <cstdint>

inline constexpr int32_t FRAME_MIN_SIZE = 10;

// World pixels; never ordered: the second corner may lie left of or above the first.
extern int32_t frameX1;
extern int32_t frameY1;
extern int32_t frameX2;
extern int32_t frameY2;

bool FrameExists();
void TrackFrame();
void DrawFrameOutline();
// Called with drawing begun on the cleared back buffer, before the scene.
void FrameFillAndDelete();
void DeleteFramedJoints();

void ResetSelectionFrame();
