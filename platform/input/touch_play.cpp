// Touch play as mouse motion, button and key events, frame by frame.
#include "platform/input/touch_play.h"

#include <algorithm>

#include "platform/input.h"

namespace {

bool IsScrollControl(int32_t control) {
    return control >= TOUCH_SCROLL_LEFT && control <= TOUCH_SCROLL_DOWN;
}

// The pointer's range on one axis is 0..size-1; a touch outside the picture pushes
// against the edge it is beyond.
int32_t OntoScreen(int32_t value, int32_t size) {
    return std::clamp(value, 0, size - 1);
}

// The game's clamp: reaching or passing an edge holds the pointer there.
int32_t ClampedPointer(int32_t pointer, int32_t motion, int32_t size) {
    const int64_t moved = int64_t{pointer} + motion;
    return static_cast<int32_t>(std::clamp<int64_t>(moved, 0, size - 1));
}

// A hold the game has seen long enough, and whose finger has gone, is over.
void EndHoldIfDone(TouchHold& hold, int32_t frames) {
    if (hold.pressed && !hold.fingerDown && hold.frames >= frames) hold = TouchHold{};
}

void SetFinger(TouchPlay& touch, int32_t x, int32_t y) {
    touch.fingerX = OntoScreen(x, touch.screenWidth);
    touch.fingerY = OntoScreen(y, touch.screenHeight);
    touch.restX = std::clamp(touch.fingerX, 1, touch.screenWidth - 2);
    touch.restY = std::clamp(touch.fingerY, 1, touch.screenHeight - 2);
}

bool Scrolling(const TouchPlay& touch) {
    for (int32_t control = TOUCH_SCROLL_LEFT; control <= TOUCH_SCROLL_DOWN; ++control) {
        if (touch.controls[control].pressed) return true;
    }
    return false;
}

}  // namespace

void TouchPictureDown(TouchPlay& touch, int32_t button, int32_t x, int32_t y) {
    if ((button != 1 && button != 2) || touch.button != 0) return;
    touch.button = button;
    touch.buttonHold = TouchHold{true, true, false, 0};
    SetFinger(touch, x, y);
}

void TouchPictureMove(TouchPlay& touch, int32_t x, int32_t y) {
    if (touch.button == 0 || !touch.buttonHold.fingerDown) return;
    SetFinger(touch, x, y);
}

void TouchPictureUp(TouchPlay& touch) {
    touch.buttonHold.fingerDown = false;
}

void TouchControlDown(TouchPlay& touch, int32_t control) {
    if (control < 0 || control >= TOUCH_CONTROL_COUNT) return;
    TouchHold& hold = touch.controls[control];
    // A scroll with no finger on the picture brings the pointer back to where it is now.
    if (IsScrollControl(control) && touch.button == 0 && !Scrolling(touch) && !touch.toRest) {
        touch.restX = std::clamp(touch.pointerX, 1, touch.screenWidth - 2);
        touch.restY = std::clamp(touch.pointerY, 1, touch.screenHeight - 2);
    }
    hold.pressed = true;
    hold.fingerDown = true;
}

void TouchControlUp(TouchPlay& touch, int32_t control) {
    if (control < 0 || control >= TOUCH_CONTROL_COUNT) return;
    touch.controls[control].fingerDown = false;
}

void QueueTouchFrame(TouchPlay& touch, MouseEventBuffer& buffer) {
    for (int32_t control = TOUCH_SCROLL_LEFT; control <= TOUCH_SCROLL_DOWN; ++control) {
        TouchHold& hold = touch.controls[control];
        const bool wasPressed = hold.pressed;
        EndHoldIfDone(hold, TOUCH_SCROLL_FRAMES);
        if (wasPressed && !hold.pressed) touch.toRest = true;
    }
    const bool scrolling = Scrolling(touch);
    if (touch.button == 0 && !scrolling && !touch.toRest) return;

    int32_t targetX = touch.button != 0 ? touch.fingerX : touch.restX;
    int32_t targetY = touch.button != 0 ? touch.fingerY : touch.restY;
    if (touch.controls[TOUCH_SCROLL_LEFT].pressed) targetX = 0;
    if (touch.controls[TOUCH_SCROLL_RIGHT].pressed) targetX = touch.screenWidth - 1;
    if (touch.controls[TOUCH_SCROLL_UP].pressed) targetY = 0;
    if (touch.controls[TOUCH_SCROLL_DOWN].pressed) targetY = touch.screenHeight - 1;
    const int32_t motionX = targetX - touch.pointerX;
    const int32_t motionY = targetY - touch.pointerY;
    if (motionX != 0 || motionY != 0) QueueMergedMotion(buffer, motionX, motionY);

    if (touch.button != 0) {
        TouchHold& hold = touch.buttonHold;
        const int32_t part = MOUSE_PART_BUTTON1 + touch.button - 1;
        if (!hold.sent) {
            QueueMouseEvent(buffer, {part, 0x80});
            hold.sent = true;
        } else if (!hold.fingerDown && hold.frames >= TOUCH_PRESS_FRAMES && motionX == 0 && motionY == 0) {
            // The pointer has rested a frame where the finger was lifted: the click
            // lands on the node the player saw marked.
            QueueMouseEvent(buffer, {part, 0});
            touch.button = 0;
            hold = TouchHold{};
            touch.toRest = true;
        }
        if (touch.button != 0) ++hold.frames;
    } else if (!scrolling && motionX == 0 && motionY == 0) {
        touch.toRest = false;
    }
    for (int32_t control = TOUCH_SCROLL_LEFT; control <= TOUCH_SCROLL_DOWN; ++control) {
        if (touch.controls[control].pressed) ++touch.controls[control].frames;
    }
}

void FollowGamePointer(TouchPlay& touch, int32_t motionX, int32_t motionY) {
    touch.pointerX = ClampedPointer(touch.pointerX, motionX, touch.screenWidth);
    touch.pointerY = ClampedPointer(touch.pointerY, motionY, touch.screenHeight);
}

void ApplyTouchKeys(TouchPlay& touch, KeySnapshot& keys) {
    const struct {
        int32_t control;
        int32_t scanCode;
    } keyControls[] = {{TOUCH_DELETE, SCAN_DELETE}, {TOUCH_RETURN, SCAN_RETURN}};
    for (const auto& key : keyControls) {
        TouchHold& hold = touch.controls[key.control];
        EndHoldIfDone(hold, TOUCH_KEY_FRAMES);
        if (!hold.pressed) continue;
        keys[key.scanCode] = KEY_DOWN_BIT;
        ++hold.frames;
    }
}

void ForgetTouches(TouchPlay& touch) {
    touch.button = 0;
    touch.buttonHold = TouchHold{};
    touch.toRest = false;
    touch.controls.fill(TouchHold{});
}
