// The page's program: start-up, then the browser calls back once per display frame
// and the frame cap decides whether a game frame runs in it; after Escape the
// screen is released and the page shows that the game has ended.
#include <emscripten/emscripten.h>

#include "platform/backend.h"
#include "platform/web/page_interface.h"
#include "platform/web/web_backend.h"

namespace {

bool gameEnded = false;

void DisplayFrame() {
    if (gameEnded || !GameFrameDue() || RunFrame()) return;
    gameEnded = true;
    emscripten_cancel_main_loop();
    Shutdown();
    ShowPageEnded();
}

}  // namespace

int main() {
    // A failed start-up has put its reason in the page already.
    if (StartUp() != 0) return 1;
    // The first frame goes up at once rather than at the next display frame: the
    // player sees the game sooner.
    DisplayFrame();
    // 0 frames per second: at the display's own rate (requestAnimationFrame); the
    // call returns at once and main ends, while the page goes on.
    if (!gameEnded) emscripten_set_main_loop(DisplayFrame, 0, 0);
    return 0;
}
