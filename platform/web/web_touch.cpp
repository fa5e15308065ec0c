// The page's touches, handed over as points on the canvas and controls pressed or
// let go, for touch_play to turn into mouse and key input. Touch play begins with
// the first touch and ends when a mouse takes the pointer again.
#include <emscripten/emscripten.h>

#include "platform/input/touch_play.h"
#include "platform/screen/picture_scale.h"
#include "platform/web/web_backend.h"

namespace {

TouchPlay touch;
bool touchPlaying = false;

// What the page passes as a touch's phase.
constexpr int32_t PHASE_DOWN = 0;
constexpr int32_t PHASE_MOVE = 1;
constexpr int32_t PHASE_UP = 2;

}  // namespace

// A finger on the canvas at device pixel (x, y): put down (holding mouse button
// `button`), moved, or lifted; once on the picture it may move beyond it, which
// pushes the pointer against the edge. Touches before the first picture has been
// placed mean nothing yet.
extern "C" EMSCRIPTEN_KEEPALIVE void WebTouchPicture(int32_t phase, int32_t button, int32_t x, int32_t y) {
    const PicturePlace place = CanvasPicturePlace();
    if (place.width <= 0 || place.height <= 0) return;
    touchPlaying = true;
    const int32_t gameX = SourceCoordinate(x, place.x, place.width, touch.screenWidth);
    const int32_t gameY = SourceCoordinate(y, place.y, place.height, touch.screenHeight);
    // A finger put down beside the picture, in a black bar, is no touch of the game's.
    const bool onPicture =
        gameX >= 0 && gameX < touch.screenWidth && gameY >= 0 && gameY < touch.screenHeight;
    if (phase == PHASE_DOWN && onPicture) TouchPictureDown(touch, button, gameX, gameY);
    if (phase == PHASE_MOVE || phase == PHASE_UP) TouchPictureMove(touch, gameX, gameY);
    if (phase == PHASE_UP) TouchPictureUp(touch);
}

// A control beside the picture (TOUCH_DELETE ... TOUCH_SCROLL_DOWN) pressed or let go.
extern "C" EMSCRIPTEN_KEEPALIVE void WebTouchControl(int32_t control, int32_t down) {
    touchPlaying = true;
    if (down != 0) {
        TouchControlDown(touch, control);
    } else {
        TouchControlUp(touch, control);
    }
}

bool TouchPlaying() {
    return touchPlaying;
}

bool EndTouchPlay() {
    const bool buttonSent = touch.button != 0 && touch.buttonHold.sent;
    touchPlaying = false;
    ForgetTouches(touch);
    return buttonSent;
}

void ReadTouchKeys(KeySnapshot& keys) {
    ApplyTouchKeys(touch, keys);
}

void QueueTouchEvents(MouseEventBuffer& buffer) {
    QueueTouchFrame(touch, buffer);
}

void FollowPointer(int32_t motionX, int32_t motionY) {
    FollowGamePointer(touch, motionX, motionY);
}
