#include "platform/draw/surface.h"

#include "platform/display.h"
#include "platform/draw/draw_state.h"

Surface backBuffer;

void AllocateBackBuffer(int32_t width, int32_t height) {
    if (width < 0) {
        width = 0;
    }
    if (height < 0) {
        height = 0;
    }
    backBuffer.width = width;
    backBuffer.height = height;
    backBuffer.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    drawState.deferred = DeferredRows{};
}

void ReleaseBackBufferDrawing() {
    if (drawState.targetKind == DRAW_TARGET_BACK_BUFFER) {
        EndDraw();
    }
    SettleBackBuffer();
}

void ReleaseDrawing() {
    EndDraw();
    ReleaseScaledSprites();
    EmptySpriteTable();
}

void ResetDrawing() {
    ReleaseDrawing();
    drawState = DrawState{};
    SetScaledFiltering(0);
}
