// Keyboard and mouse in the browser: key events by KeyboardEvent.code, relative
// mouse motion from the Pointer Lock API, the page's focus and visibility as the
// window's activation, and the page's request to end.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>

#include "platform/backend.h"
#include "platform/input.h"
#include "platform/input/key_table.h"
#include "platform/web/page_interface.h"
#include "platform/web/web_backend.h"

namespace {

struct WebInput {
    // From the page's first touch until a mouse takes the pointer (web_touch.cpp).
    bool touchPlaying = false;
    bool focused = true;
    bool visible = true;
    // Buttons (as the browser numbers them) whose press the game was sent: only
    // their releases follow.
    uint32_t buttonsHeld = 0;
    bool wasLocked = false;
};

WebInput input;

bool PointerLocked() {
    EmscriptenPointerlockChangeEvent status{};
    return emscripten_get_pointerlock_status(&status) == EMSCRIPTEN_RESULT_SUCCESS && status.isActive != 0;
}

// Escape is the page's: while the pointer is locked the browser takes it to free
// the pointer, so the page decides when it ends the game (WebRequestEnd).
EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    const int32_t code = Set1CodeOfKeyName(event->code);
    if (code == 0 || code == SCAN_ESCAPE) return EM_FALSE;
    NoteKey(code, eventType == EMSCRIPTEN_EVENT_KEYDOWN);
    // Shortcuts with Ctrl, Alt or Meta and the function keys stay the browser's (reload,
    // full screen, developer tools); the rest would scroll or move the focus.
    const bool browsers = event->ctrlKey || event->altKey || event->metaKey ||
                          (code >= 0x3B && code <= 0x44) || code == 0x57 || code == 0x58;
    return browsers ? EM_FALSE : EM_TRUE;
}

// Only a locked pointer is the game's: before the first click and after the lock
// is lost the mouse belongs to the page.
EM_BOOL OnMouse(int eventType, const EmscriptenMouseEvent* event, void*) {
    if (!PointerLocked()) return EM_FALSE;
    if (eventType == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        NoteMouseMotion(static_cast<int32_t>(event->movementX), static_cast<int32_t>(event->movementY));
        return EM_FALSE;
    }
    const uint32_t bit = 1u << (event->button & 31u);
    if (eventType == EMSCRIPTEN_EVENT_MOUSEDOWN) {
        input.buttonsHeld |= bit;
        NoteMouseButton(event->button, true);
    } else if ((input.buttonsHeld & bit) != 0) {
        input.buttonsHeld &= ~bit;
        NoteMouseButton(event->button, false);
    }
    return EM_TRUE;
}

EM_BOOL OnWheel(int, const EmscriptenWheelEvent* event, void*) {
    if (!PointerLocked()) return EM_FALSE;
    // One notch up is +1, as a desktop wheel counts.
    NoteMouseWheel(event->deltaY < 0 ? 1 : (event->deltaY > 0 ? -1 : 0));
    return EM_TRUE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*) {
    input.focused = eventType == EMSCRIPTEN_EVENT_FOCUS;
    NoteWindowActive(input.focused && input.visible);
    return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    input.visible = event->hidden == 0;
    NoteWindowActive(input.focused && input.visible);
    return EM_FALSE;
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void WebRequestEnd() {
    NoteCloseRequest();
}

void ListenToPageEvents() {
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    const char* document = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
    emscripten_set_keydown_callback(window, nullptr, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(window, nullptr, EM_TRUE, OnKey);
    emscripten_set_mousemove_callback(document, nullptr, EM_TRUE, OnMouse);
    emscripten_set_mousedown_callback(document, nullptr, EM_TRUE, OnMouse);
    emscripten_set_mouseup_callback(document, nullptr, EM_TRUE, OnMouse);
    emscripten_set_wheel_callback(document, nullptr, EM_TRUE, OnWheel);
    emscripten_set_focus_callback(window, nullptr, EM_TRUE, OnFocus);
    emscripten_set_blur_callback(window, nullptr, EM_TRUE, OnFocus);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, OnVisibility);
    input.focused = PageHasFocus() != 0;
    EmscriptenVisibilityChangeEvent visibility{};
    input.visible =
        emscripten_get_visibility_status(&visibility) != EMSCRIPTEN_RESULT_SUCCESS || visibility.hidden == 0;
}

// Events arrive as they come; nothing to collect.
void PollInput() {}

int32_t ClaimMouse() {
    if (!PointerLocked()) {
        input.wasLocked = false;
        // Touch play sends the game mouse input of its own.
        return input.touchPlaying ? MOUSE_OURS : MOUSE_NOT_OURS;
    }
    // A mouse that takes the pointer ends touch play.
    if (input.touchPlaying) {
        input.touchPlaying = false;
        EndTouchPlay();
    }
    if (!input.wasLocked) {
        input.wasLocked = true;
        // A button held when the lock was lost was let go where the game could not
        // see it: the mouse starts afresh rather than keep it down or make a click of it.
        if (input.buttonsHeld != 0) {
            input.buttonsHeld = 0;
            ForgetMouseButtons();
        }
    }
    return MOUSE_OURS;
}

void FreeMouse() {
    input.wasLocked = input.wasLocked && PointerLocked();
}

void StartTouchPlay() {
    input.touchPlaying = true;
}
