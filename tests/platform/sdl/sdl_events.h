// Events put into SDL's queue as the system would put them there, for the SDL tests.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/sdl/sdl_backend.h"

inline void PushSdlEvent(SDL_Event event) {
    SDL_PushEvent(&event);
}

inline void PushWindowEvent(SDL_WindowEventID what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(SdlWindow());
    event.window.event = static_cast<Uint8>(what);
    PushSdlEvent(event);
}

inline void PushMotion(int32_t dx, int32_t dy) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    PushSdlEvent(event);
}

inline void PushButton(uint8_t sdlButton, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = sdlButton;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    PushSdlEvent(event);
}

inline void PushKey(SDL_Scancode scancode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.scancode = scancode;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    PushSdlEvent(event);
}
