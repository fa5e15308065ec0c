#include "platform/input/input_state.h"

void ResetInputState() {
    ResetKeyboardState();
    ResetMouseState();
    ResetGestureState();
}
