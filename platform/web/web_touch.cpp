// The page's touches, handed over as points on the canvas and controls pressed or
// let go, reported to the shared input (touch_play.h turns them into mouse and key
// input). Touch play begins with the first touch and ends when a mouse takes the
// pointer again.
#include <emscripten/emscripten.h>

#include <cstdint>

#include "platform/backend.h"
#include "platform/draw/surface.h"
#include "platform/screen/picture_scale.h"
#include "platform/web/page_interface.h"
#include "platform/web/web_backend.h"

namespace {

// What the page passes as a touch's phase.
constexpr int32_t PHASE_DOWN = 0;
constexpr int32_t PHASE_MOVE = 1;
constexpr int32_t PHASE_UP = 2;

}  // namespace

// Touches before the first picture has been placed mean nothing yet.
extern "C" EMSCRIPTEN_KEEPALIVE void WebTouchPicture(int32_t phase, int32_t button, int32_t x, int32_t y) {
    const PicturePlace place = PagePicturePlace();
    const int32_t width = BackBufferWidth();
    const int32_t height = BackBufferHeight();
    if (place.width <= 0 || place.height <= 0 || width <= 0 || height <= 0) return;
    StartTouchPlay();
    const int32_t gameX = SourceCoordinate(x, place.x, place.width, width);
    const int32_t gameY = SourceCoordinate(y, place.y, place.height, height);
    // A finger put down beside the picture, in a black bar, is no touch of the game's;
    // one put down on it may move beyond it, which pushes against the edge.
    const bool onPicture = gameX >= 0 && gameX < width && gameY >= 0 && gameY < height;
    if (phase == PHASE_DOWN && onPicture) NoteTouchDown(button, gameX, gameY);
    if (phase == PHASE_MOVE || phase == PHASE_UP) NoteTouchMove(gameX, gameY);
    if (phase == PHASE_UP) NoteTouchUp();
}

extern "C" EMSCRIPTEN_KEEPALIVE void WebTouchControl(int32_t control, int32_t down) {
    StartTouchPlay();
    NoteTouchControl(control, down != 0);
}
