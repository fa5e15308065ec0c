// The back-end contract test's view of one back end: what it cannot do through the
// public operations (a window event, a key from the system). Each back end's test
// program defines CONTRACT_BACK_END.
#pragma once

#include <cstdint>

struct ContractBackEnd {
    // Everything as before start-up.
    void (*reset)();
    // The window made active or inactive by its system, as a player would.
    void (*setActive)(bool active);
    // Delete pressed or let go on the keyboard.
    void (*pressDelete)(bool down);
    // The mouse moved.
    void (*moveMouse)(int32_t dx, int32_t dy);
    // Whether the back end still holds a window.
    bool (*windowOpen)();
};

extern const ContractBackEnd CONTRACT_BACK_END;
