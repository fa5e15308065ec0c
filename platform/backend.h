// What a back end is. A back end (sdl/, headless/, web/) is a folder that defines the
// few operations declared below, those that differ between a desktop window, a
// browser's canvas and memory. Everything else is shared and written once: the
// screen's duties (screen/screen.cpp: argument checks, activation, the back buffer,
// frame pacing, the order of PresentFrame), the input devices' rules
// (input/devices.cpp: keys let go on deactivation, the button mapping, Escape held
// after a request to end, reads skipped while inactive), drawing and sprites
// (draw/). The game includes only display.h and input.h and never asks which back
// end runs it. Each program names its back end at link time (karnolt_program in
// CMake) and drives the game's entry points StartUp, RunFrame and Shutdown
// (display.h): the desktop loops over RunFrame, the browser calls it as many times in
// a display frame as the pacing says; after RunFrame returns false the program calls
// Shutdown once and runs no further frame.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/display.h"

// The shared code's records that pass through (draw/surface.h, screen/frame_pacing.h):
// the back ends include those headers themselves; this one stays beneath them.
struct Surface;
struct FramePacing;

// ---- What every back end writes ----------------------------------------------

// The display system up (InitSpriteSystem); false where there is none to be had.
bool StartVideo();
// The full-screen window (or canvas) for a picture of width x height, the system
// pointer hidden; false when it cannot be had (CloseWindow then puts away what was made).
bool OpenWindow(int32_t width, int32_t height, const char* title);
// The window closed, the player's pointer given back; harmless without a window.
void CloseWindow();
// The display system down (ReleaseScreen, after CloseWindow).
void StopVideo();
// PresentFrame's window messages: activation goes to NoteWindowActive, input to the
// Note* calls below.
void HandleWindowMessages();
// The settled back buffer onto the screen; a flip chain may exchange its pixels with
// the front buffer's. `whole`: what the screen showed may be lost (the window was
// inactive), so nothing may be left out as unchanged.
void ShowPicture(Surface& backBuffer, bool whole);
// After the picture: wait for the frame cap (the desktop), move a virtual clock on
// (headless), or nothing where the display frame decides (the browser).
void PaceFrame(FramePacing& pacing);
// The fatal start-up problem's message box, where a desktop can show one.
void ShowErrorBox(const char* title, const char* text);
// Before each keyboard and mouse read: collect the events that came meanwhile.
void PollInput();

// ReadMouse while the window is active: whether the mouse is the game's.
inline constexpr int32_t MOUSE_NOT_OURS = 0;  // this read sees nothing
inline constexpr int32_t MOUSE_TAKEN = 1;     // just taken: what came before is not the game's
inline constexpr int32_t MOUSE_OURS = 2;
int32_t ClaimMouse();
// While the window is inactive, the player has their pointer.
void FreeMouse();

// The back end also defines display.h's ReadTickCount (its millisecond clock).

// ---- What a back end tells the shared code -----------------------------------

// The window gained or lost activation; in force from the next PresentFrame. Keys
// held when it is lost are let go at once: their releases would go elsewhere.
void NoteWindowActive(bool active);
// A key's set-1 scan code (extended keys at code + 0x80) went down or up. An
// inactive window receives no key presses.
void NoteKey(int32_t scanCode, bool down);
// The window was closed or the program asked to end: Escape is held from the next
// ReadKeyboard on.
void NoteCloseRequest();
// Relative motion and the wheel, merged between button events.
void NoteMouseMotion(int32_t dx, int32_t dy);
void NoteMouseWheel(int32_t notches);
// A mouse button, numbered as browsers and (one higher) SDL number them: 0 left,
// 1 middle, 2 right; others are extra buttons the game ignores.
void NoteMouseButton(int32_t systemButton, bool down);
// A button by the game's own numbers (1 left, 2 right, 3 middle).
void NoteGameButton(int32_t button, bool down);
// Buttons back up and gestures forgotten, as when a mouse starts afresh.
void ForgetMouseButtons();

// Touch play (input/touch_play.h), for a back end with a touch screen: a finger put
// on the picture at game point (x, y), holding mouse button 1 or 2, moved (beyond
// the picture it pushes against the edge) and lifted; a control beside the picture
// (TOUCH_DELETE ... TOUCH_SCROLL_DOWN) pressed or let go. The reads turn them into
// the mouse and key input the game knows, and follow the game's pointer.
void NoteTouchDown(int32_t button, int32_t x, int32_t y);
void NoteTouchMove(int32_t x, int32_t y);
void NoteTouchUp();
void NoteTouchControl(int32_t control, bool down);
// A mouse takes over from the fingers: every touch let go, the buttons forgotten.
void EndTouchPlay();

// A file the program carries in itself, by its bare name (display.h's IsBuiltInFile),
// before StartUp. The bytes stay where they are, for the program's whole run.
void AddBuiltInFile(const char* name, const uint8_t* bytes, std::size_t size);

// The frame cap's record, for a back end that decides at each display frame.
FramePacing& ScreenPacing();
// The screen's record back to before InitSpriteSystem, appActive 0 (tests start afresh).
void ResetScreen();
