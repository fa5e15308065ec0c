// Drawing targets, drawing state, clearing and pixel reads.
#include <algorithm>
#include <cstring>

#include "platform/display.h"
#include "platform/draw/draw_state.h"

Surface* TargetSurface() {
    if (drawState.targetKind == DRAW_TARGET_BACK_BUFFER) {
        return &backBuffer;
    }
    if (drawState.targetKind == DRAW_TARGET_SPRITE) {
        Sprite* sprite = FindSprite(drawState.targetSprite);
        return sprite != nullptr ? &sprite->image : nullptr;
    }
    return nullptr;
}

Surface* CurrentSurface(int64_t lastRow) {
    Surface* surface = TargetSurface();
    if (surface == &backBuffer && AnyDeferredRows()) {
        WriteDeferredRows(std::min<int64_t>(lastRow, backBuffer.height - 1) + 1);
    }
    return surface;
}

void FillSpan(Surface& surface, int64_t y, int64_t x0, int64_t x1) {
    uint32_t* row = surface.pixels.data() + y * surface.width;
    std::fill(row + x0, row + x1, drawState.colour);
}

// Every pixel is overwritten: whatever was put off before no longer matters.
void ClearBackBuffer(int32_t r, int32_t g, int32_t b) {
    drawState.deferred = DeferredRows{true, MakeColour(r, g, b), nullptr, 0};
}

void WriteDeferredRows(int64_t end) {
    if (!AnyDeferredRows()) return;
    DeferredRows& deferred = drawState.deferred;
    const bool clearToBlack = deferred.clear && deferred.clearColour == 0;
    for (; deferred.next < std::min<int64_t>(end, backBuffer.height); ++deferred.next) {
        uint32_t* row = backBuffer.pixels.data() + deferred.next * backBuffer.width;
        if (clearToBlack) {
            // The game's clear: the C library's block clear is the fastest write.
            std::memset(row, 0, static_cast<std::size_t>(backBuffer.width) * sizeof(uint32_t));
        } else if (deferred.clear) {
            std::fill(row, row + backBuffer.width, deferred.clearColour);
        }
        if (deferred.blendRow != nullptr) deferred.blendRow(deferred.next, clearToBlack);
    }
    if (deferred.next >= backBuffer.height) deferred = DeferredRows{};
}

void SettleBackBuffer() {
    WriteDeferredRows(backBuffer.height);
}

// The back buffer can be held by one drawing at a time, like a surface's device context.
DrawTarget BackBufferTarget() {
    if (drawState.targetKind == DRAW_TARGET_BACK_BUFFER || backBuffer.pixels.empty()) {
        return DrawTarget{DRAW_TARGET_NONE, 0};
    }
    return DrawTarget{DRAW_TARGET_BACK_BUFFER, 0};
}

// Only one sprite can be held at a time, and only a loaded one.
DrawTarget SpriteTarget(int32_t spriteNumber) {
    Sprite* sprite = FindSprite(spriteNumber);
    if (drawState.targetKind == DRAW_TARGET_SPRITE || sprite == nullptr || sprite->image.pixels.empty()) {
        return DrawTarget{DRAW_TARGET_NONE, 0};
    }
    return DrawTarget{DRAW_TARGET_SPRITE, spriteNumber};
}

int32_t BeginDraw(DrawTarget target) {
    EndDraw();
    if (target.kind != DRAW_TARGET_BACK_BUFFER && target.kind != DRAW_TARGET_SPRITE) {
        return 0;
    }
    drawState.targetKind = target.kind;
    drawState.targetSprite = target.spriteNumber;
    if (TargetSurface() == nullptr) {
        drawState.targetKind = DRAW_TARGET_NONE;
        return 0;
    }
    if (target.kind == DRAW_TARGET_SPRITE) NoteSpriteImageEdit();
    // A fresh drawing context: no flags, black.
    drawState.flags = 0;
    drawState.colour = MakeColour(0, 0, 0);
    return 1;
}

void EndDraw() {
    if (drawState.targetKind == DRAW_TARGET_SPRITE) NoteSpriteImageEdit();
    drawState.targetKind = DRAW_TARGET_NONE;
    drawState.targetSprite = 0;
}

void SetDrawFlags(int32_t flags) {
    if (TargetSurface() == nullptr) {
        return;
    }
    drawState.flags = flags;
}

void SetPenColour(int32_t r, int32_t g, int32_t b) {
    if (TargetSurface() == nullptr) {
        return;
    }
    drawState.colour = MakeColour(r, g, b);
}

// A colour argument becomes the current colour, as SetPenColour would make it.
void SetColourValue(uint32_t colour) {
    SetPenColour(static_cast<int32_t>(colour & 0xFFu), static_cast<int32_t>((colour >> 8) & 0xFFu),
                 static_cast<int32_t>((colour >> 16) & 0xFFu));
}

uint32_t ReadPixel(int32_t x, int32_t y) {
    const Surface* surface = CurrentSurface();
    if (surface == nullptr || x < 0 || y < 0 || x >= surface->width || y >= surface->height) {
        return 0xFFFFFFFFu;
    }
    return surface->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->width) +
                           static_cast<std::size_t>(x)];
}
