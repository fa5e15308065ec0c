// Inside the software renderer: the drawing state, the sprite record and the
// operations the drawing files call on each other.
#pragma once

#include <cstdint>
#include <limits>

#include "platform/draw/blend_layer.h"
#include "platform/draw/surface.h"

struct DrawState {
    int32_t targetKind = 0;  // DRAW_TARGET_NONE, _BACK_BUFFER or _SPRITE
    int32_t targetSprite = 0;
    int32_t flags = 0;
    uint32_t colour = 0;
    // Where the next label starts, as SetTextCursor left it.
    int64_t cursorX = 0;
    int64_t cursorY = 0;
};

struct Sprite {
    Surface image;  // width and height 0 while not loaded
    int32_t mode = 0;
};

extern DrawState drawState;

// The current target's pixels, or nullptr without a target: the one way a drawing
// operation reaches them. On the back buffer, the put-off work on its rows down to
// `lastRow` is written first.
Surface* DrawingSurface(int64_t lastRow = std::numeric_limits<int64_t>::max());
// Whether a drawing target is held (for operations that only set state).
bool HasDrawTarget();
// The back buffer's rows down to `lastRow` with the put-off work on them written.
Surface& BackBufferDownTo(int64_t lastRow);
// A scaled sprite's blend can be put off only over rows not yet written, and one at a time.
bool CanDeferBlend();
// From now on each back-buffer row gets this blend as it is written.
void DeferBlend(const DeferredBlend& blend);
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

// A colour argument of a drawing operation becomes the current colour (low 24 bits).
void SetColourValue(uint32_t colour);
