// Drawing targets, drawing state, clearing and pixel reads.
#include "platform/display.h"
#include "platform/draw/draw_state.h"

bool HasDrawTarget() {
    return drawState.targetKind == DRAW_TARGET_BACK_BUFFER ||
           (drawState.targetKind == DRAW_TARGET_SPRITE && FindSprite(drawState.targetSprite) != nullptr);
}

Surface* DrawingSurface(int64_t lastRow) {
    if (drawState.targetKind == DRAW_TARGET_BACK_BUFFER) return &BackBufferDownTo(lastRow);
    if (drawState.targetKind == DRAW_TARGET_SPRITE) {
        Sprite* sprite = FindSprite(drawState.targetSprite);
        return sprite != nullptr ? &sprite->image : nullptr;
    }
    return nullptr;
}

// The back buffer can be held by one drawing at a time, like a surface's device context.
DrawTarget BackBufferTarget() {
    if (drawState.targetKind == DRAW_TARGET_BACK_BUFFER || BackBufferWidth() == 0 ||
        BackBufferHeight() == 0) {
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
    if (!HasDrawTarget()) {
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
    if (!HasDrawTarget()) {
        return;
    }
    drawState.flags = flags;
}

void SetPenColour(int32_t r, int32_t g, int32_t b) {
    if (!HasDrawTarget()) {
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
    const Surface* surface = DrawingSurface();
    if (surface == nullptr || x < 0 || y < 0 || x >= surface->width || y >= surface->height) {
        return 0xFFFFFFFFu;
    }
    return surface->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->width) +
                           static_cast<std::size_t>(x)];
}

void ReleaseBackBufferDrawing() {
    if (drawState.targetKind == DRAW_TARGET_BACK_BUFFER) {
        EndDraw();
    }
    SettledBackBuffer();
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
