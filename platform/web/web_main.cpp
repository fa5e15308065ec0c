// The page's program: start-up, then the browser calls back once per display frame
// and the frame cap decides how many game frames run in it, of which only the last
// goes up to the canvas; after Escape the
// screen is released and the page shows that the game has ended.
#include <emscripten/emscripten.h>

#include <cstddef>
#include <cstdint>

#include "platform/backend.h"
#include "platform/web/page_interface.h"
#include "platform/web/web_backend.h"

// The level, built in (built_in_file.cmake).
extern const char BUILT_IN_FILE_NAME[];
extern const uint8_t BUILT_IN_FILE_BYTES[];
extern const std::size_t BUILT_IN_FILE_SIZE;

namespace {

bool gameEnded = false;

void DisplayFrame() {
    if (gameEnded) return;
    const int32_t due = GameFramesDueNow();
    for (int32_t k = 0; k < due; ++k) {
        SkipPicture(k + 1 < due);
        const bool goesOn = RunFrame();
        NotePageGameFrame();
        if (goesOn) continue;
        gameEnded = true;
        emscripten_cancel_main_loop();
        Shutdown();
        ShowPageEnded();
        return;
    }
}

}  // namespace

int main() {
    // The page has no file system (a call on one would abort the start): its level
    // is built in, and the game reads no other file.
    AddBuiltInFile(BUILT_IN_FILE_NAME, BUILT_IN_FILE_BYTES, BUILT_IN_FILE_SIZE);
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
