#include "editor/pointer.h"

#include "model/coordinates.h"
#include "model/game_state.h"
#include "platform/input.h"

// A pointer on an edge, or pushed past it, is held there and scrolls the view by
// one step in that frame: the view moves towards the edge the pointer presses.
// The view scrolls without limit in practice; only at the edge of int range,
// after weeks of pushing, does it stop.
static void ClampAndScroll(int32_t& pointer, int32_t motion, int32_t lastPixel, int32_t& viewOffset) {
    const int64_t moved = static_cast<int64_t>(pointer) + motion;
    if (moved <= 0) {
        pointer = 0;
        viewOffset = ClampToPixel(int64_t{viewOffset} + SCROLL_STEP);
    } else if (moved >= lastPixel) {
        pointer = lastPixel;
        viewOffset = ClampToPixel(int64_t{viewOffset} - SCROLL_STEP);
    } else {
        pointer = static_cast<int32_t>(moved);
    }
}

void UpdatePointer() {
    ReadMouse();
    ClampAndScroll(editor.pointerX, MouseMotionX(), SCREEN_WIDTH - 1, editor.viewOffsetX);
    ClampAndScroll(editor.pointerY, MouseMotionY(), SCREEN_HEIGHT - 1, editor.viewOffsetY);
    // Each call counts one frame of its button's gesture: exactly once per frame, 1 before 2.
    editor.button1Gesture = ButtonGesture(1);
    editor.button2Gesture = ButtonGesture(2);
}

int32_t PointerWorldX() {
    return ClampToPixel(int64_t{editor.pointerX} - editor.viewOffsetX);
}
int32_t PointerWorldY() {
    return ClampToPixel(int64_t{editor.pointerY} - editor.viewOffsetY);
}
