// Inside the platform layer: play by touch, turned into the mouse and key input the
// game already understands. The game's pointer follows the finger: this record
// mirrors the game's pointer clamp, so it knows where the pointer is and sends the
// relative motion that brings it to the touched point. A finger on the picture holds
// a mouse button, lifting it releases the button (a click where it was lifted);
// controls beside the picture hold Delete or Enter, or hold the pointer against an
// edge, which scrolls the view. Everything is counted in the game's frames, so that
// a tap shorter than a frame still becomes a click, a key press or a scroll.
#pragma once

#include <array>
#include <cstdint>

#include "platform/input/input_state.h"

// A press the game saw for a single frame would be no click.
inline constexpr int32_t TOUCH_PRESS_FRAMES = 2;
// Keys held by a control are down in at least this many keyboard snapshots.
inline constexpr int32_t TOUCH_KEY_FRAMES = 2;
// A tap on a scroll control holds the pointer against its edge for this many
// frames (100 pixels of scrolling); a longer touch scrolls on for as long as it lasts.
inline constexpr int32_t TOUCH_SCROLL_FRAMES = 10;

// The controls beside the picture.
inline constexpr int32_t TOUCH_DELETE = 0;
inline constexpr int32_t TOUCH_RETURN = 1;
inline constexpr int32_t TOUCH_SCROLL_LEFT = 2;  // pushes the pointer against the left edge
inline constexpr int32_t TOUCH_SCROLL_RIGHT = 3;
inline constexpr int32_t TOUCH_SCROLL_UP = 4;
inline constexpr int32_t TOUCH_SCROLL_DOWN = 5;
inline constexpr int32_t TOUCH_CONTROL_COUNT = 6;

// A button or a control held by a finger, as long as the finger stays and at
// least as many frames as the game needs to see it.
struct TouchHold {
    bool pressed = false;     // from the touch until the game has seen it long enough
    bool fingerDown = false;  // the finger is still on it
    bool sent = false;        // for a mouse button: the game has been sent its press
    int32_t frames = 0;       // frames in which the game saw it held
};

struct TouchPlay {
    // The game's pointer range, 0..width-1 and 0..height-1: the screen it opens.
    int32_t screenWidth = 1024;
    int32_t screenHeight = 768;
    // The game's pointer as the motion it was sent leaves it.
    int32_t pointerX = 512;
    int32_t pointerY = 384;
    // The finger on the picture: the mouse button it holds (1 or 2, 0 for none) and
    // the point it touches, in game pixels, held on the picture's edge when outside.
    int32_t button = 0;
    TouchHold buttonHold;
    int32_t fingerX = 0;
    int32_t fingerY = 0;
    // Where the pointer rests when no finger is on the picture: where the last one
    // was lifted, one pixel inside an edge, so that it does not scroll on.
    int32_t restX = 512;
    int32_t restY = 384;
    bool toRest = false;  // the pointer still has to go back there
    std::array<TouchHold, TOUCH_CONTROL_COUNT> controls{};
};

// A finger on the picture at game point (x, y), holding mouse button 1 or 2; any
// other button, or a second finger while one holds a button, is ignored.
void TouchPictureDown(TouchPlay& touch, int32_t button, int32_t x, int32_t y);
void TouchPictureMove(TouchPlay& touch, int32_t x, int32_t y);
// The finger is lifted (or the browser took the touch): the button goes up once the
// pointer has rested a frame where the finger was and the game saw the press.
void TouchPictureUp(TouchPlay& touch);

void TouchControlDown(TouchPlay& touch, int32_t control);
void TouchControlUp(TouchPlay& touch, int32_t control);

// Once per mouse read, before the buffer is taken: this frame's motion and button
// events. Nothing while no finger has anything to do, so a mouse keeps the pointer.
void QueueTouchFrame(TouchPlay& touch, MouseEventBuffer& buffer);
// After each mouse read: the motion the game was given, clamped as the game clamps.
void FollowGamePointer(TouchPlay& touch, int32_t motionX, int32_t motionY);
// Once per keyboard read: Delete and Enter down while their controls hold them.
void ApplyTouchKeys(TouchPlay& touch, KeySnapshot& keys);
// Every finger let go without a further event to the game, the pointer kept (the
// mouse takes over; the game's buttons are reset by the caller).
void ForgetTouches(TouchPlay& touch);
