// Inside the platform layer: the input logic every back end shares. The back end
// reports what its system delivers (backend.h); the devices (devices.cpp) keep the
// held keys and the mouse events between two reads, and the rules of KeyDown,
// KeyReleased, ReadMouse and ButtonGesture are applied here once.
#pragma once

#include <array>
#include <cstdint>

#include "platform/input.h"

inline constexpr int32_t KEY_COUNT = 256;
inline constexpr uint8_t KEY_DOWN_BIT = 0x80;

using KeySnapshot = std::array<uint8_t, KEY_COUNT>;

// The part of the mouse an event is about, numbered by its offset in the
// classic mouse state record (X, Y, wheel, then one byte per button).
inline constexpr int32_t MOUSE_PART_X = 0;
inline constexpr int32_t MOUSE_PART_Y = 4;
inline constexpr int32_t MOUSE_PART_WHEEL = 8;
inline constexpr int32_t MOUSE_PART_BUTTON1 = 12;  // buttons 1 to 4 at 12 to 15
inline constexpr int32_t MOUSE_PART_BUTTON4 = 15;

struct MouseEvent {
    int32_t part;
    int32_t value;  // motion counts; for a button bit 7 set means down
};

// The device's event buffer between two reads. Once full, a further event
// marks it overflowed and is lost, as the device's own buffer would.
struct MouseEventBuffer {
    std::array<MouseEvent, MOUSE_EVENT_BUFFER> events{};
    int32_t count = 0;
    bool overflowed = false;
};

// ---- Keyboard ----------------------------------------------------------------

// The snapshot of the last successful ReadKeyboard.
void StoreKeySnapshot(const KeySnapshot& keys);
// The window's activation as the keyboard sees it: losing it lets go of every held
// key (their releases go to another window), and without it no press arrives.
void SetKeyboardFocus(bool focused);

// ---- Mouse -------------------------------------------------------------------

// Every call is one event.
void QueueMouseEvent(MouseEventBuffer& buffer, MouseEvent event);
// A relative motion. A run of motions without other events in between shares
// one X and one Y event: a read reports only their sum, and a fast mouse sends
// one report per millisecond, which would overflow the buffer every frame.
void QueueMergedMotion(MouseEventBuffer& buffer, int32_t dx, int32_t dy);
// The wheel likewise: a spinning wheel must not overflow the buffer and drop a drag.
void QueueMergedWheel(MouseEventBuffer& buffer, int32_t value);

// One event into the devices' own buffer, unmerged: the headless back end's
// scripted events, each of which takes a slot as a real device's would.
void QueueDeviceMouseEvent(MouseEvent event);

// A read with the device released (window inactive): no motion, buttons kept,
// the buffer emptied since a released device sees nothing. Returns 0.
int32_t SkipMouseRead(MouseEventBuffer& buffer);
// A read of an acquired device: takes every buffered event (1), or applies the
// overflow rule (buttons 1 and 2 up, events dropped, 0). The buffer is emptied.
int32_t TakeMouseEvents(MouseEventBuffer& buffer);

// The devices closed, held keys, queued events and requests forgotten; keys, release
// latches, mouse motion and buttons and the gesture states back to their start values.
void ResetInputState();
void ResetInputDevices();
void ResetKeyboardState();
void ResetMouseState();
void ResetGestureState();
