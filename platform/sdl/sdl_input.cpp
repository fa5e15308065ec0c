// Keyboard and mouse on SDL: key, button and relative motion events reported to the
// shared devices, the mouse taken in relative mode while the window is active, and
// quit requests and signals turned into a request to end.
#include <unistd.h>

#include <csignal>

#include "platform/backend.h"
#include "platform/input/key_table.h"
#include "platform/sdl/sdl_backend.h"

namespace {

struct SdlInput {
    bool mouseBound = false;  // relative mode taken for the active window
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

// Input events from SDL's queue, window events left for PresentFrame.
void TakeInputEvents(SDL_EventType first, SDL_EventType last) {
    SDL_Event events[32];
    for (;;) {
        const int count = SDL_PeepEvents(events, 32, SDL_GETEVENT, first, last);
        for (int i = 0; i < count; ++i) HandleSdlInputEvent(events[i]);
        if (count < 32) return;
    }
}

}  // namespace

void HandleSdlInputEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            NoteKey(Set1CodeOfUsage(event.key.keysym.scancode), event.type == SDL_KEYDOWN);
            break;
        case SDL_MOUSEMOTION:
            NoteMouseMotion(event.motion.xrel, event.motion.yrel);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            // SDL counts buttons from 1.
            NoteMouseButton(event.button.button - 1, event.button.state == SDL_PRESSED);
            break;
        case SDL_MOUSEWHEEL:
            NoteMouseWheel(event.wheel.y);
            break;
        case SDL_QUIT:
            NoteCloseRequest();
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) NoteCloseRequest();
            break;
        default:
            break;
    }
}

void PollInput() {
    // A termination signal ends the game the way Escape does.
    if (quitSignalled != 0) NoteCloseRequest();
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
    SDL_PumpEvents();
    TakeInputEvents(SDL_KEYDOWN, SDL_KEYUP);
    TakeInputEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
    SDL_FlushEvents(SDL_TEXTEDITING, SDL_TEXTINPUT);
}

int32_t ClaimMouse() {
    if (input.mouseBound) return MOUSE_OURS;
    // A driver without relative mode still reports relative motion, so a failure here
    // is not retried every frame.
    SDL_SetRelativeMouseMode(SDL_TRUE);
    input.mouseBound = true;
    return MOUSE_TAKEN;
}

void FreeMouse() {
    ReleaseSdlMouse();
}

void ReleaseSdlMouse() {
    if (input.mouseBound) {
        SDL_SetRelativeMouseMode(SDL_FALSE);
        input.mouseBound = false;
    }
}

void WatchQuitSignals() {
    InstallQuitSignals(OnQuitSignal);
}

bool EndAtOnceOnQuitSignals() {
    InstallQuitSignals(ExitAtOnce);
    return quitSignalled != 0;
}

void ResetSdlInput() {
    ReleaseSdlMouse();
    input = SdlInput{};
    quitSignalled = 0;
    ResetInputState();
}
