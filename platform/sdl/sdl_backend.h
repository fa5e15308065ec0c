// Inside the SDL back end: what its screen and input files share, and what its
// tests reach.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/input/input_state.h"

// The set-1 scan code of an SDL key, extended keys at code + 0x80; 0 for a key
// that has none.
int32_t Set1ScanCode(SDL_Scancode scancode);

// The performance counter in ticks of PACING_COUNTER_FREQUENCY.
int64_t ReadPacingCounter();

// An input event from SDL's queue: mouse events go into the mouse's event
// buffer, a quit request becomes Escape held; every other event is ignored.
void HandleSdlInputEvent(const SDL_Event& event);

// From now on a quit signal ends the process at once with status 1: for while a
// start-up failure is shown and nothing is left to put away. True when one came already.
bool EndAtOnceOnQuitSignals();

// Lets the mouse go: relative mode off, so the player has their pointer.
void ReleaseSdlMouse();

// Keyboard and mouse back to not opened, quit requests forgotten, the shared
// input state reset.
void ResetSdlInput();

// The game window, or nullptr while the screen is closed.
SDL_Window* SdlWindow();
