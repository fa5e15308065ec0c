#include "render/frame_rate_meter.h"

#include "model/game_state.h"
#include "platform/display.h"

int32_t FrameRateMeter() {
    fpsMeter.fpsFrameCount = fpsMeter.fpsFrameCount + 1;
    const uint32_t now = ReadTickCount();
    if (fpsMeter.fpsFrameCount == 100) {
        // Halve the window: its start moves to its middle.
        fpsMeter.fpsFrameCount = 100 >> 1;
        fpsMeter.fpsBaseTick = fpsMeter.fpsBaseTick +
                               static_cast<uint32_t>(static_cast<int32_t>(now - fpsMeter.fpsBaseTick) >> 1);
    }
    // Tick differences are taken modulo 2^32, so the counter's wrap does no harm.
    const int32_t elapsed = static_cast<int32_t>(now - fpsMeter.fpsBaseTick);
    if (elapsed == 0) return 0;
    return static_cast<int32_t>((int64_t{fpsMeter.fpsFrameCount} * 1000) / elapsed);
}
