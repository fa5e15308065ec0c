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

// The picture's way into the window (sdl_present.cpp). Chooses the texture or the
// window-surface path for a picture of width x height; false when neither works.
bool ChoosePresentation(SDL_Window* window, int32_t width, int32_t height);
// The renderer and texture gone (the window closes, or the graphics device was lost).
void DropPresentation();
void ShowBlackPicture();
// What the window showed may be lost: the next picture is sent whole.
void RedrawWholePicture();
// The picture (the game's size, MakeColour layout) onto the window, scaled and centred.
void PresentPicture(const uint32_t* picture, bool whole);
