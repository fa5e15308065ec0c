// Inside the browser's back end: what its screen, input and program files share.
// Only this folder includes Emscripten's headers.
#pragma once

#include <cstdint>

#include "platform/input/input_state.h"
#include "platform/screen/picture_scale.h"

// The set-1 scan code of a key named by KeyboardEvent.code ("KeyA", "Enter"),
// extended keys at code + 0x80; 0 for a key that has none or an unknown name.
int32_t Set1ScanCodeOfKey(const char* code);

// Registers the page's keyboard, mouse, focus and visibility events with the input side.
void ListenToPageEvents();

// True while the page is visible and has the focus; PresentFrame makes appActive of it.
bool PageActive();

// At a display frame: how many game frames are due by the frame cap.
int32_t GameFramesDueNow();
// While set, PresentFrame keeps the picture off the canvas: a later game frame of
// the same display frame replaces it before the browser could show it.
void SkipPicture(bool skip);

// Where the picture lies on the canvas, in device pixels; empty before the first frame.
PicturePlace CanvasPicturePlace();

// Touch play (web_touch.cpp): true from the page's first touch until a mouse takes
// the pointer again.
bool TouchPlaying();
// The mouse takes over: every touch is let go; true when the game holds a button a
// finger pressed, which the caller must let go of.
bool EndTouchPlay();
// At each keyboard read: the keys the touch controls hold.
void ReadTouchKeys(KeySnapshot& keys);
// At each mouse read of touch play, before the buffer is taken: this frame's events.
void QueueTouchEvents(MouseEventBuffer& buffer);
// After every mouse read: the motion the game took, so the pointer is known.
void FollowPointer(int32_t motionX, int32_t motionY);
