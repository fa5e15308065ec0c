// Scripted keyboard and mouse: the script's keys and mouse events reach the shared
// devices as a real system's would, and the reads take them by the same rules.
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/input/input_state.h"

void PollInput() {}

int32_t ClaimMouse() {
    return MOUSE_OURS;
}

void FreeMouse() {}

void HeadlessSetKey(int32_t scanCode, bool down) {
    NoteKey(scanCode, down);
}

void HeadlessQueueMotionX(int32_t value) {
    QueueDeviceMouseEvent({MOUSE_PART_X, value});
}

void HeadlessQueueMotionY(int32_t value) {
    QueueDeviceMouseEvent({MOUSE_PART_Y, value});
}

void HeadlessQueueButton(int32_t button, bool down) {
    if (button < 1 || button > 3) return;
    NoteGameButton(button, down);
}

void HeadlessQueueWheel(int32_t value) {
    QueueDeviceMouseEvent({MOUSE_PART_WHEEL, value});
}
