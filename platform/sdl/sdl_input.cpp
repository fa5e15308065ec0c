// Keyboard and mouse on SDL: key snapshots from SDL's key state, relative
// mouse events collected between reads, and quit requests turned into Escape.
#include <unistd.h>

#include <csignal>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/sdl/sdl_backend.h"

namespace {

struct SdlInput {
    bool keyboardOpen = false;
    bool mouseOpen = false;
    bool mouseBound = false;  // relative mode taken for the active window
    bool closeRequested = false;
    MouseEventBuffer mouseEvents;
};

SdlInput input;
volatile std::sig_atomic_t quitSignalled = 0;

void OnQuitSignal(int) {
    quitSignalled = 1;
}

// A closed terminal (SIGHUP), Ctrl+C and a termination request.
constexpr int QUIT_SIGNALS[] = {SIGHUP, SIGINT, SIGTERM};

void InstallQuitSignals(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // A second signal takes the default way out, should the game be stuck.
    action.sa_flags = SA_RESETHAND;
    for (const int signal : QUIT_SIGNALS) sigaction(signal, &action, nullptr);
}

// A start-up failure: nothing is left to put away.
void ExitAtOnce(int) {
    _exit(1);
}

int32_t GameButtonPart(uint8_t sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return MOUSE_PART_BUTTON1;
        case SDL_BUTTON_RIGHT:
            return MOUSE_PART_BUTTON1 + 1;
        case SDL_BUTTON_MIDDLE:
            return MOUSE_PART_BUTTON1 + 2;
        default:
            return MOUSE_PART_BUTTON4;  // the game ignores the rest
    }
}

void DrainMouseEvents() {
    SDL_Event events[32];
    for (;;) {
        const int count = SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
        for (int i = 0; i < count; ++i) {
            HandleSdlInputEvent(events[i]);
        }
        if (count < 32) {
            return;
        }
    }
}

}  // namespace

void HandleSdlInputEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEMOTION:
            QueueMergedMotion(input.mouseEvents, event.motion.xrel, event.motion.yrel);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            QueueMouseEvent(input.mouseEvents, {GameButtonPart(event.button.button),
                                                event.button.state == SDL_PRESSED ? 0x80 : 0});
            break;
        case SDL_MOUSEWHEEL:
            QueueMergedWheel(input.mouseEvents, event.wheel.y);
            break;
        case SDL_QUIT:
            input.closeRequested = true;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                input.closeRequested = true;
            }
            break;
        default:
            break;
    }
}

void ReleaseSdlMouse() {
    if (input.mouseBound) {
        SDL_SetRelativeMouseMode(SDL_FALSE);
        input.mouseBound = false;
    }
}

bool EndAtOnceOnQuitSignals() {
    InstallQuitSignals(ExitAtOnce);
    return quitSignalled != 0;
}

int32_t OpenKeyboard() {
    InstallQuitSignals(OnQuitSignal);
    input.keyboardOpen = true;
    return 1;
}

int32_t ReadKeyboard() {
    if (!input.keyboardOpen) {
        return 0;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_PumpEvents();
        // Key events are not needed: the state below is already up to date.
        SDL_FlushEvents(SDL_KEYDOWN, SDL_TEXTINPUT);
    }
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    KeySnapshot keys{};
    for (int i = 0; i < count; ++i) {
        const int32_t code = state[i] != 0 ? Set1ScanCode(static_cast<SDL_Scancode>(i)) : 0;
        if (code != 0) {
            keys[code] = KEY_DOWN_BIT;
        }
    }
    // Closing the window or a termination signal ends the game the way Escape does.
    if (quitSignalled != 0 || input.closeRequested) {
        keys[SCAN_ESCAPE] = KEY_DOWN_BIT;
    }
    StoreKeySnapshot(keys);
    return 1;
}

int32_t OpenMouse() {
    input.mouseOpen = true;
    return 1;
}

int32_t ReadMouse() {
    if (!input.mouseOpen) {
        return SkipMouseRead(input.mouseEvents);
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_PumpEvents();
        DrainMouseEvents();
    }
    if (appActive == 0) {
        // The player gets their pointer back while the game is not in front.
        ReleaseSdlMouse();
        return SkipMouseRead(input.mouseEvents);
    }
    if (!input.mouseBound) {
        // What moved before the mouse was ours is not the game's motion. A
        // driver without relative mode still reports relative motion, so a
        // failure here is not retried every frame.
        SDL_SetRelativeMouseMode(SDL_TRUE);
        input.mouseBound = true;
        return SkipMouseRead(input.mouseEvents) + 1;
    }
    return TakeMouseEvents(input.mouseEvents);
}

void ResetSdlInput() {
    ReleaseSdlMouse();
    input = SdlInput{};
    quitSignalled = 0;
    ResetInputState();
}
