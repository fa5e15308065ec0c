// The SDL back end in the contract test, on SDL's dummy video driver: window, key
// and motion events pushed into SDL's queue as the system would put them there.
#include <SDL.h>

#include <cstdlib>

#include "platform/sdl/sdl_backend.h"
#include "tests/platform/contract/backend_contract.h"

namespace {

void Push(SDL_Event event) {
    SDL_PushEvent(&event);
}

}  // namespace

const ContractBackEnd CONTRACT_BACK_END = {
    .reset =
        [] {
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            ResetSdlInput();
        },
    .setActive =
        [](bool active) {
            SDL_Event event{};
            event.type = SDL_WINDOWEVENT;
            event.window.windowID = SDL_GetWindowID(SdlWindow());
            event.window.event = active ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
            Push(event);
        },
    .pressDelete =
        [](bool down) {
            SDL_Event event{};
            event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
            event.key.keysym.scancode = SDL_SCANCODE_DELETE;
            event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
            Push(event);
        },
    .moveMouse =
        [](int32_t dx, int32_t dy) {
            SDL_Event event{};
            event.type = SDL_MOUSEMOTION;
            event.motion.xrel = dx;
            event.motion.yrel = dy;
            Push(event);
        },
    .windowOpen = [] { return SdlWindow() != nullptr; },
};
