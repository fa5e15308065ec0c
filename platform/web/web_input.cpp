// Keyboard and mouse in the browser: key events kept as a set-1 snapshot, relative
// mouse motion from the Pointer Lock API, the page's focus and visibility as the
// window's activation, and the page's request to end as Escape held.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdint>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/input/input_state.h"
#include "platform/web/web_backend.h"

namespace {

struct WebInput {
    bool keyboardOpen = false;
    bool mouseOpen = false;
    bool focused = true;
    bool visible = true;
    bool endRequested = false;
    // Buttons whose press the game was sent: only their releases follow.
    uint32_t buttonsHeld = 0;
    bool wasLocked = false;
    KeySnapshot heldKeys{};
    MouseEventBuffer mouseEvents;
};

WebInput input;

EM_JS(int, PageHasFocus, (), { return document.hasFocus() ? 1 : 0; });

bool PointerLocked() {
    EmscriptenPointerlockChangeEvent status{};
    return emscripten_get_pointerlock_status(&status) == EMSCRIPTEN_RESULT_SUCCESS && status.isActive != 0;
}

// Keys held when the page loses the focus never see their release: they are let go now.
void LetGoOfKeys() {
    input.heldKeys = KeySnapshot{};
}

// Escape is the page's: while the pointer is locked the browser takes it to free
// the pointer, so the page decides when it ends the game (WebRequestEnd).
EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    const int32_t code = Set1ScanCodeOfKey(event->code);
    if (code == 0 || code == SCAN_ESCAPE) return EM_FALSE;
    input.heldKeys[code] = eventType == EMSCRIPTEN_EVENT_KEYDOWN ? KEY_DOWN_BIT : 0;
    // Shortcuts with Ctrl, Alt or Meta and the function keys stay the browser's (reload,
    // full screen, developer tools); the rest would scroll or move the focus.
    const bool browsers = event->ctrlKey || event->altKey || event->metaKey ||
                          (code >= 0x3B && code <= 0x44) || code == 0x57 || code == 0x58;
    return browsers ? EM_FALSE : EM_TRUE;
}

int32_t GameButtonPart(unsigned short domButton) {
    switch (domButton) {
        case 0:
            return MOUSE_PART_BUTTON1;  // left
        case 2:
            return MOUSE_PART_BUTTON1 + 1;  // right
        case 1:
            return MOUSE_PART_BUTTON1 + 2;  // middle
        default:
            return MOUSE_PART_BUTTON4;  // the game ignores the rest
    }
}

// Only a locked pointer is the game's: before the first click and after the lock
// is lost the mouse belongs to the page.
EM_BOOL OnMouse(int eventType, const EmscriptenMouseEvent* event, void*) {
    if (!PointerLocked()) return EM_FALSE;
    if (eventType == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        QueueMergedMotion(input.mouseEvents, static_cast<int32_t>(event->movementX),
                          static_cast<int32_t>(event->movementY));
        return EM_FALSE;
    }
    const int32_t part = GameButtonPart(event->button);
    const uint32_t bit = 1u << (part - MOUSE_PART_BUTTON1);
    if (eventType == EMSCRIPTEN_EVENT_MOUSEDOWN) {
        input.buttonsHeld |= bit;
        QueueMouseEvent(input.mouseEvents, {part, 0x80});
    } else if ((input.buttonsHeld & bit) != 0) {
        input.buttonsHeld &= ~bit;
        QueueMouseEvent(input.mouseEvents, {part, 0});
    }
    return EM_TRUE;
}

EM_BOOL OnWheel(int, const EmscriptenWheelEvent* event, void*) {
    if (!PointerLocked()) return EM_FALSE;
    // One notch up is +1, as a desktop wheel counts.
    QueueMergedWheel(input.mouseEvents, event->deltaY < 0 ? 1 : (event->deltaY > 0 ? -1 : 0));
    return EM_TRUE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*) {
    input.focused = eventType == EMSCRIPTEN_EVENT_FOCUS;
    if (!input.focused) LetGoOfKeys();
    return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    input.visible = event->hidden == 0;
    if (!input.visible) LetGoOfKeys();
    return EM_FALSE;
}

}  // namespace

// The page's second Escape, or a closed page: the game sees Escape held from the next read on.
extern "C" EMSCRIPTEN_KEEPALIVE void WebRequestEnd() {
    input.endRequested = true;
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

bool PageActive() {
    return input.focused && input.visible;
}

int32_t OpenKeyboard() {
    input.keyboardOpen = true;
    return 1;
}

int32_t ReadKeyboard() {
    if (!input.keyboardOpen) return 0;
    KeySnapshot keys = input.heldKeys;
    ReadTouchKeys(keys);
    if (input.endRequested) keys[SCAN_ESCAPE] = KEY_DOWN_BIT;
    StoreKeySnapshot(keys);
    return 1;
}

int32_t OpenMouse() {
    input.mouseOpen = true;
    return 1;
}

int32_t ReadMouse() {
    const bool locked = PointerLocked();
    // Touch play ends when a mouse takes the pointer; a touch takes it back.
    const bool fingerHeldButton = locked && TouchPlaying() && EndTouchPlay();
    const bool touching = !locked && TouchPlaying();
    if (!input.mouseOpen || appActive == 0 || !(locked || touching)) {
        input.wasLocked = input.wasLocked && locked;
        const int32_t result = SkipMouseRead(input.mouseEvents);
        FollowPointer(0, 0);
        return result;
    }
    if (locked && (!input.wasLocked || fingerHeldButton)) {
        input.wasLocked = true;
        // A button held when the lock was lost was let go where the game could not
        // see it: the mouse starts afresh rather than keep it down or make a click of it.
        if (input.buttonsHeld != 0 || fingerHeldButton) {
            input.buttonsHeld = 0;
            ResetMouseState();
            ResetGestureState();
        }
    }
    if (touching) QueueTouchEvents(input.mouseEvents);
    const int32_t result = TakeMouseEvents(input.mouseEvents);
    FollowPointer(MouseMotionX(), MouseMotionY());
    return result;
}
