// The keyboard and the mouse as the game reads them, written once for every back
// end: the back end reports keys, buttons, motion and requests to end as they come
// (backend.h), and the reads here apply the rules every back end shares.
#include <cstdint>

#include "platform/backend.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/input/input_state.h"

namespace {

struct InputDevices {
    bool keyboardOpen = false;
    bool mouseOpen = false;
    bool windowActive = true;  // as last reported: an inactive window gets no key presses
    bool closeRequested = false;
    KeySnapshot heldKeys{};
    MouseEventBuffer mouseEvents;
};

InputDevices devices;

}  // namespace

int32_t OpenKeyboard() {
    devices.keyboardOpen = true;
    return 1;
}

int32_t ReadKeyboard() {
    if (!devices.keyboardOpen) return 0;
    PollInput();
    KeySnapshot keys = devices.heldKeys;
    // Closing the window or a request to end ends the game the way Escape does.
    if (devices.closeRequested) keys[SCAN_ESCAPE] = KEY_DOWN_BIT;
    StoreKeySnapshot(keys);
    return 1;
}

int32_t OpenMouse() {
    devices.mouseOpen = true;
    return 1;
}

int32_t ReadMouse() {
    if (!devices.mouseOpen) return SkipMouseRead(devices.mouseEvents);
    PollInput();
    if (appActive == 0) {
        FreeMouse();
        // A released device sees nothing: what came meanwhile is lost.
        return SkipMouseRead(devices.mouseEvents);
    }
    switch (ClaimMouse()) {
        case MOUSE_OURS:
            return TakeMouseEvents(devices.mouseEvents);
        case MOUSE_TAKEN:
            // What moved before the mouse was ours is not the game's motion.
            return SkipMouseRead(devices.mouseEvents) + 1;
        default:
            return SkipMouseRead(devices.mouseEvents);
    }
}

void SetKeyboardFocus(bool focused) {
    devices.windowActive = focused;
    if (!focused) devices.heldKeys = KeySnapshot{};
}

void NoteKey(int32_t scanCode, bool down) {
    if (scanCode <= 0 || scanCode >= KEY_COUNT || (down && !devices.windowActive)) return;
    devices.heldKeys[static_cast<std::size_t>(scanCode)] = down ? KEY_DOWN_BIT : 0;
}

void NoteCloseRequest() {
    devices.closeRequested = true;
}

void NoteMouseMotion(int32_t dx, int32_t dy) {
    QueueMergedMotion(devices.mouseEvents, dx, dy);
}

void NoteMouseWheel(int32_t notches) {
    QueueMergedWheel(devices.mouseEvents, notches);
}

void NoteGameButton(int32_t button, bool down) {
    const int32_t part = button >= 1 && button <= 3 ? MOUSE_PART_BUTTON1 + button - 1 : MOUSE_PART_BUTTON4;
    QueueDeviceMouseEvent({part, down ? 0x80 : 0});
}

void QueueDeviceMouseEvent(MouseEvent event) {
    QueueMouseEvent(devices.mouseEvents, event);
}

void NoteMouseButton(int32_t systemButton, bool down) {
    // Systems count left, middle, right; the game left, right, middle.
    constexpr int32_t GAME_BUTTON[] = {1, 3, 2};
    NoteGameButton(systemButton >= 0 && systemButton <= 2 ? GAME_BUTTON[systemButton] : 4, down);
}

void ForgetMouseButtons() {
    ResetMouseState();
    ResetGestureState();
}

void ResetInputDevices() {
    devices = InputDevices{};
}
