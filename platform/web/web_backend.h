// Inside the browser's back end: what its screen, input and program files share.
// Only this folder includes Emscripten's headers.
#pragma once

#include <cstdint>

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
