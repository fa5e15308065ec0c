// The key snapshot and the release latch behind KeyDown and KeyReleased.
#include "platform/input/input_state.h"

namespace {

KeySnapshot keyState{};
KeySnapshot releaseLatch{};

bool IsScanCode(int32_t scanCode) {
    return scanCode >= 0 && scanCode < KEY_COUNT;
}

}  // namespace

void StoreKeySnapshot(const KeySnapshot& keys) {
    keyState = keys;
}

int32_t KeyDown(int32_t scanCode) {
    if (!IsScanCode(scanCode)) {
        return 0;
    }
    return keyState[scanCode] & KEY_DOWN_BIT;
}

// The latch moves only in calls for its own key, so a key that goes down and up
// between two snapshots, or between two calls, is never reported.
int32_t KeyReleased(int32_t scanCode) {
    if (!IsScanCode(scanCode)) {
        return 0;
    }
    if ((keyState[scanCode] & KEY_DOWN_BIT) != 0) {
        releaseLatch[scanCode] = 1;
        return 0;
    }
    if (releaseLatch[scanCode] == 1) {
        releaseLatch[scanCode] = 0;
        return 1;
    }
    return 0;
}

void ResetKeyboardState() {
    keyState.fill(0);
    releaseLatch.fill(0);
}
