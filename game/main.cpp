// The player's game: no arguments, no configuration, one level file.
#include "game/game.h"

int main() {
    const int32_t status = StartUp();
    if (status != 0) return status;
    FrameLoop();
    Shutdown();
    return 0;
}
