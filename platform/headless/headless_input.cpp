// Scripted keyboard and mouse: the script sets key states and queues mouse
// events; the reads take them by the same rules as real devices.
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/headless/headless_backend.h"
#include "platform/input.h"
#include "platform/input/input_state.h"

namespace {

struct HeadlessInput {
    bool keyboardOpen = false;
    bool mouseOpen = false;
    KeySnapshot scriptedKeys{};
    MouseEventBuffer mouseEvents;
};

HeadlessInput headlessInput;

}  // namespace

int32_t OpenKeyboard() {
    headlessInput.keyboardOpen = true;
    return 1;
}

int32_t ReadKeyboard() {
    if (!headlessInput.keyboardOpen) {
        return 0;
    }
    StoreKeySnapshot(headlessInput.scriptedKeys);
    return 1;
}

int32_t OpenMouse() {
    headlessInput.mouseOpen = true;
    return 1;
}

int32_t ReadMouse() {
    if (!headlessInput.mouseOpen || appActive == 0) {
        // A released device sees nothing: what the script queued meanwhile is lost.
        return SkipMouseRead(headlessInput.mouseEvents);
    }
    return TakeMouseEvents(headlessInput.mouseEvents);
}

void HeadlessSetKey(int32_t scanCode, bool down) {
    if (scanCode < 0 || scanCode >= KEY_COUNT) {
        return;
    }
    headlessInput.scriptedKeys[scanCode] = down ? KEY_DOWN_BIT : 0;
}

void HeadlessQueueMotionX(int32_t value) {
    QueueMouseEvent(headlessInput.mouseEvents, {MOUSE_PART_X, value});
}

void HeadlessQueueMotionY(int32_t value) {
    QueueMouseEvent(headlessInput.mouseEvents, {MOUSE_PART_Y, value});
}

void HeadlessQueueButton(int32_t button, bool down) {
    if (button < 1 || button > 3) {
        return;
    }
    QueueMouseEvent(headlessInput.mouseEvents, {MOUSE_PART_BUTTON1 + button - 1, down ? 0x80 : 0});
}

void HeadlessQueueWheel(int32_t value) {
    QueueMouseEvent(headlessInput.mouseEvents, {MOUSE_PART_WHEEL, value});
}

void ResetHeadlessInput() {
    headlessInput = HeadlessInput{};
}
