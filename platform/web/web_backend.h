// Inside the browser's back end: what its screen, input and program files share.
// Only this folder includes Emscripten's headers; the page's own interface is
// page_interface.h.
#pragma once

#include <cstdint>

#include "platform/screen/picture_scale.h"

// Registers the page's keyboard, mouse, focus and visibility events with the input side.
void ListenToPageEvents();

// At a display frame: how many game frames are due by the frame cap.
int32_t GameFramesDueNow();
// While set, PresentFrame keeps the picture off the canvas: a later game frame of
// the same display frame replaces it before the browser could show it.
void SkipPicture(bool skip);
// Where the browser shows the picture on the canvas element, in device pixels; empty
// before the first frame.
PicturePlace PagePicturePlace();

// The page's first touch (web_touch.cpp) starts touch play: the mouse reads take the
// fingers' input until a mouse takes the pointer again (web_input.cpp).
void StartTouchPlay();
