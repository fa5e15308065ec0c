// Inside the software renderer: the drawing state, the sprite record and the
// operations the drawing files call on each other.
#pragma once

#include <cstdint>

#include "platform/draw/surface.h"

struct DrawState {
    int32_t targetKind = 0;  // DRAW_TARGET_NONE, _BACK_BUFFER or _SPRITE
    int32_t targetSprite = 0;
    int32_t flags = 0;
    uint32_t colour = 0;
    // Where the next label starts, as SetTextCursor left it.
    int64_t cursorX = 0;
    int64_t cursorY = 0;
    // ClearBackBuffer only notes its colour. The clear is written by the next thing that
    // touches the back buffer's pixels, or by a scaled sprite a row at a time, each row
    // just before the sprite blends onto it, while the row is still in the cache.
    bool clearPending = false;
    uint32_t clearColour = 0;
};

struct Sprite {
    Surface image;  // width and height 0 while not loaded
    int32_t mode = 0;
};

extern DrawState drawState;

// The surface drawing goes to, or nullptr without a current target.
Surface* TargetSurface();
// The same, for its pixels: a pending clear of the back buffer is written first.
Surface* CurrentSurface();
// Fills rows [first, end) of the back buffer with the colour.
void FillBackBufferRows(int64_t first, int64_t end, uint32_t colour);
// The sprite with this number, or nullptr when the number lies outside the table.
Sprite* FindSprite(int32_t spriteNumber);
// Frees every sprite and forgets the last load error.
void EmptySpriteTable();
// A sprite image was loaded or drawn on: every scaled sprite's stretched picture is stale.
void NoteSpriteImageEdit();
// How many times that happened so far.
uint64_t SpriteImageEdits();
// Ends any scaled pass and frees every scaled sprite.
void ReleaseScaledSprites();

// Fills in the current colour. The caller has clipped the span [x0, x1) of row y to the surface.
void FillSpan(Surface& surface, int64_t y, int64_t x0, int64_t x1);

// A colour argument of a drawing operation becomes the current colour (low 24 bits).
void SetColourValue(uint32_t colour);
