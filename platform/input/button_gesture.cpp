// ButtonGesture: per-frame press, hold, click and double-click codes of a button.
#include <array>

#include "platform/input/input_state.h"

namespace {

inline constexpr int32_t REPEAT_WINDOW_FRAMES = 10;
inline constexpr int32_t LONG_HOLD_FRAMES = 10;

struct GestureState {
    int32_t heldFrames = 0;
    int32_t releaseCode = 0;  // 0, 1 click, 2 double click
    int32_t repeatWindow = 0;
};

std::array<GestureState, 3> gestureStates{};  // buttons 1 to 3

}  // namespace

int32_t ButtonGesture(int32_t button) {
    if (button < 1 || button > 3) {
        return GESTURE_IDLE;
    }
    GestureState& state = gestureStates[button - 1];
    if (state.repeatWindow > 0) {
        --state.repeatWindow;
    }
    if (MouseButtonDown(button) != 0) {
        ++state.heldFrames;
    } else {
        // The release code is recomputed only while the button is up, so a
        // press that starts right after a counted release keeps showing it.
        if (state.heldFrames > 1) {
            state.releaseCode = state.repeatWindow > 0 ? 2 : 1;
            state.repeatWindow = REPEAT_WINDOW_FRAMES;
        } else {
            state.releaseCode = 0;
        }
        state.heldFrames = 0;
    }

    int32_t gesture = GESTURE_IDLE;
    if (state.heldFrames == 1) {
        gesture = GESTURE_PRESSED;
    }
    if (state.heldFrames > 1) {
        gesture = GESTURE_HELD;
    }
    if (state.heldFrames > LONG_HOLD_FRAMES) {
        gesture = GESTURE_LONG_HELD;
    }
    if (state.releaseCode == 1) {
        gesture = GESTURE_CLICK;
    }
    if (state.releaseCode == 2) {
        gesture = GESTURE_DOUBLE_CLICK;
    }
    return gesture;
}

void ResetGestureState() {
    gestureStates.fill(GestureState{});
}
