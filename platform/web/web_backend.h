// Inside the browser's back end: what its screen, input and program files share.
// Only this folder includes Emscripten's headers; the page's own interface is
// page_interface.h.
#pragma once

// Registers the page's keyboard, mouse, focus and visibility events with the input side.
void ListenToPageEvents();

// At a display frame: true when a game frame is due by the frame cap.
bool GameFrameDue();
