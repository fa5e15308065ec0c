// Mouse motion and button states, and the rules of a buffered mouse read.
#include "platform/input/input_state.h"

#include <algorithm>
#include <climits>

namespace {

int32_t deltaX = 0;
int32_t deltaY = 0;
std::array<int32_t, 3> buttonDown{};  // buttons 1 to 3

bool IsAxisPart(int32_t part) {
    return part == MOUSE_PART_X || part == MOUSE_PART_Y || part == MOUSE_PART_WHEEL;
}

// Adds to the event of this axis queued since the last button event, or queues one.
// A read only sums the axes, so where between two button events a count lands
// does not matter. Sums saturate rather than wrap: no real mouse gets near, but
// a flood must not turn into motion the other way.
void QueueMergedAxis(MouseEventBuffer& buffer, int32_t part, int32_t value) {
    if (!buffer.overflowed) {
        for (int32_t k = buffer.count - 1; k >= 0 && IsAxisPart(buffer.events[k].part); --k) {
            MouseEvent& event = buffer.events[k];
            if (event.part != part) continue;
            event.value =
                static_cast<int32_t>(std::clamp<int64_t>(int64_t{event.value} + value, INT32_MIN, INT32_MAX));
            return;
        }
    }
    QueueMouseEvent(buffer, {part, value});
}

void ApplyMouseEvent(const MouseEvent& event) {
    switch (event.part) {
        case MOUSE_PART_X:
            deltaX += event.value;
            break;
        case MOUSE_PART_Y:
            deltaY += event.value;
            break;
        case MOUSE_PART_BUTTON1:
        case MOUSE_PART_BUTTON1 + 1:
        case MOUSE_PART_BUTTON1 + 2:
            buttonDown[event.part - MOUSE_PART_BUTTON1] = (event.value & 0x80) != 0 ? 1 : 0;
            break;
        default:
            break;  // the wheel and button 4 mean nothing to the game
    }
}

void ClearMouseEvents(MouseEventBuffer& buffer) {
    buffer.count = 0;
    buffer.overflowed = false;
}

}  // namespace

void ResetMouseState() {
    deltaX = 0;
    deltaY = 0;
    buttonDown.fill(0);
}

void QueueMouseEvent(MouseEventBuffer& buffer, MouseEvent event) {
    if (buffer.count >= MOUSE_EVENT_BUFFER) {
        buffer.overflowed = true;
        return;
    }
    buffer.events[buffer.count] = event;
    ++buffer.count;
}

void QueueMergedMotion(MouseEventBuffer& buffer, int32_t dx, int32_t dy) {
    QueueMergedAxis(buffer, MOUSE_PART_X, dx);
    QueueMergedAxis(buffer, MOUSE_PART_Y, dy);
}

void QueueMergedWheel(MouseEventBuffer& buffer, int32_t value) {
    QueueMergedAxis(buffer, MOUSE_PART_WHEEL, value);
}

int32_t SkipMouseRead(MouseEventBuffer& buffer) {
    deltaX = 0;
    deltaY = 0;
    ClearMouseEvents(buffer);
    return 0;
}

int32_t TakeMouseEvents(MouseEventBuffer& buffer) {
    deltaX = 0;
    deltaY = 0;
    if (buffer.overflowed) {
        // The order of what was lost is unknown, so a held button may have
        // been let go: buttons 1 and 2 are taken as up.
        buttonDown[0] = 0;
        buttonDown[1] = 0;
        ClearMouseEvents(buffer);
        return 0;
    }
    for (int32_t i = 0; i < buffer.count; ++i) {
        ApplyMouseEvent(buffer.events[i]);
    }
    ClearMouseEvents(buffer);
    return 1;
}

int32_t MouseMotionX() {
    return deltaX;
}

int32_t MouseMotionY() {
    return deltaY;
}

int32_t MouseButtonDown(int32_t button) {
    if (button < 1 || button > 3) {
        return 0;
    }
    return buttonDown[button - 1];
}
