// What a back end is. A back end (sdl/, headless/, web/) is a folder that defines the
// operations below and keeps the rules written beside them; everything else the game
// calls (drawing, sprites, the rules of the input services) is shared and lives in
// draw/, input/ and screen/. The game includes only display.h and input.h and never
// asks which back end runs it. Each program names its back end at link time
// (karnolt_program in CMake).
#pragma once

#include <cstdint>

#include "platform/display.h"
#include "platform/input.h"

// ---- What every back end defines ---------------------------------------------
//
// Screen (display.h): appActive, InitSpriteSystem, OpenFullScreen, SetFrameCap,
// PresentFrame, ReleaseScreen, ReadTickCount, ShowErrorMessage.
// Input (input.h): OpenKeyboard, ReadKeyboard, OpenMouse, ReadMouse.
//
// ---- What it must call -------------------------------------------------------
//
// The back buffer (draw/surface.h):
// - OpenFullScreen sizes it with AllocateBackBuffer and sets appActive to 1; a
//   failed opening leaves it empty.
// - PresentFrame first lets go of an open drawing (ReleaseBackBufferDrawing), then,
//   while appActive is 1, shows SettledBackBuffer(): on a screen of another size
//   through a PictureScaler (screen/picture_scale.h), as large as fits, centred
//   between black bars. Window messages change appActive only there.
// - ReleaseScreen frees sprites and drawing (ReleaseDrawing) and empties the back
//   buffer (AllocateBackBuffer(0, 0)).
// Frame pacing (screen/frame_pacing.h): SetFrameCap keeps a FramePacing through
// SetPacingCap, and OpenFullScreen resets its reference. A back end that owns its
// loop waits in PresentFrame (WaitForFrameCap); one that is called at each display
// frame runs as many game frames as GameFramesDue says, and shows only the last.
// Input (input/input_state.h):
// - ReadKeyboard hands StoreKeySnapshot a snapshot of all 256 set-1 scan codes
//   (KEY_DOWN_BIT while down; extended keys at code + 0x80).
// - Mouse events between two reads go into a MouseEventBuffer (QueueMergedMotion,
//   QueueMergedWheel, QueueMouseEvent); ReadMouse answers with TakeMouseEvents, or
//   with SkipMouseRead while appActive is 0 or the mouse is not the game's (in the
//   browser: before the pointer is locked and after the lock is let go).
// - A window that is closed, or a request to end, holds Escape down from the next
//   ReadKeyboard on; keys held when the window loses activation are let go.
//
// ---- The program around the game ---------------------------------------------
//
// A back end's program runs the game through these three, which the game defines:
// the desktop loops over RunFrame, the browser calls it back once per display frame.
// After RunFrame returns false the program calls Shutdown once and runs no further
// frame; the browser's page then stays open and says that the game has ended.

// 0 when the game can run; otherwise the reason has been told and this is the exit status.
int32_t StartUp();
// One frame; false when Escape ends the game.
bool RunFrame();
// After the last frame: the screen released.
void Shutdown();
