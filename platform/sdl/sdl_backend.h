// Inside the SDL back end: what its screen and input files share, and what its
// tests reach.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/input/input_state.h"

// The performance counter in ticks of PACING_COUNTER_FREQUENCY.
int64_t ReadPacingCounter();

// An input event from SDL's queue: keys, buttons and motion go to the shared
// devices, a quit request becomes a request to end; every other event is ignored.
void HandleSdlInputEvent(const SDL_Event& event);

// SIGHUP, SIGINT and SIGTERM end the game like Escape (through the next key read).
void WatchQuitSignals();

// From now on a quit signal ends the process at once with status 1: for while a
// start-up failure is shown and nothing is left to put away. True when one came already.
bool EndAtOnceOnQuitSignals();

// Lets the mouse go: relative mode off, so the player has their pointer.
void ReleaseSdlMouse();

// The mouse let go, quit signals forgotten, the shared input state reset.
void ResetSdlInput();

// The game window, or nullptr while the screen is closed.
SDL_Window* SdlWindow();
