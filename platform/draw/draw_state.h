// Inside the software renderer: the drawing state, the sprite record and the
// operations the drawing files call on each other.
#pragma once

#include <cstdint>
#include <limits>

#include "platform/draw/surface.h"

// Work on the back buffer put off until its rows are needed: a clear, and the blend
// of a scaled sprite over it. The rows are written in order, each just before
// anything else touches it, so that a frame drawn from the top meets every row while
// it is still in the cache instead of going over the whole buffer once per layer.
struct DeferredRows {
    bool clear = false;
    uint32_t clearColour = 0;
    // The blend onto one row; `overBlack`: the row was cleared to black just before.
    void (*blendRow)(int64_t row, bool overBlack) = nullptr;
    int64_t next = 0;  // rows above it are written
};

struct DrawState {
    int32_t targetKind = 0;  // DRAW_TARGET_NONE, _BACK_BUFFER or _SPRITE
    int32_t targetSprite = 0;
    int32_t flags = 0;
    uint32_t colour = 0;
    // Where the next label starts, as SetTextCursor left it.
    int64_t cursorX = 0;
    int64_t cursorY = 0;
    DeferredRows deferred;
};

struct Sprite {
    Surface image;  // width and height 0 while not loaded
    int32_t mode = 0;
};

extern DrawState drawState;

inline bool AnyDeferredRows() {
    return drawState.deferred.clear || drawState.deferred.blendRow != nullptr;
}

// The surface drawing goes to, or nullptr without a current target.
Surface* TargetSurface();
// The same, for its pixels down to row `lastRow`: deferred work on the back buffer's
// rows up to there is written first.
Surface* CurrentSurface(int64_t lastRow = std::numeric_limits<int64_t>::max());
// Writes the deferred work on the back buffer's rows above `end`.
void WriteDeferredRows(int64_t end);
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
