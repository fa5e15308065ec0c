// The selection frame dragged with button 2, and the bulk deletion of the joints
// inside it while Delete is held.
#pragma once

#include <cstdint>

inline constexpr int32_t FRAME_MIN_SIZE = 10;

bool FrameExists();
// The frame's corners follow a button 2 drag.
void TrackFrame();
void DrawFrameOutline();
// Called with drawing begun on the cleared back buffer, before the scene.
void FrameFillAndDelete();
void DeleteFramedJoints();
