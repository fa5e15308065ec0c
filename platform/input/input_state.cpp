#include "platform/input/input_state.h"

void ResetInputState() {
    ResetInputDevices();
    ResetKeyboardState();
    ResetMouseState();
    ResetGestureState();
}
