// The SDL back end in the contract test, on SDL's dummy video driver: window, key
// and motion events pushed into SDL's queue.
#include <cstdlib>

#include "tests/platform/contract/backend_contract.h"
#include "tests/platform/sdl/sdl_events.h"

const ContractBackEnd CONTRACT_BACK_END = {
    .reset =
        [] {
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            ResetSdlInput();
        },
    .setActive =
        [](bool active) {
            PushWindowEvent(active ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
        },
    .pressDelete = [](bool down) { PushKey(SDL_SCANCODE_DELETE, down); },
    .moveMouse = PushMotion,
    .windowOpen = [] { return SdlWindow() != nullptr; },
};
