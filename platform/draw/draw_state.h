// Inside the software renderer: the drawing state, the sprite tables and the
// helpers the drawing files share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/draw/surface.h"

struct DrawState {
    int32_t targetKind = 0;  // DRAW_TARGET_NONE, _BACK_BUFFER or _SPRITE
    int32_t targetSprite = 0;
    int32_t flags = 0;
    uint32_t colour = 0;
    // Segments can end beyond the int32 range; the cursor keeps their exact end point.
    int64_t cursorX = 0;
    int64_t cursorY = 0;
};

struct Sprite {
    Surface image;  // width and height 0 while not loaded
    int32_t mode = 0;
    std::string fileName;
};

// Everything a scaled sprite's stretched picture depends on, apart from where it
// is shown and what the back buffer already holds.
struct BlendLayerKey {
    uint64_t imageEdits = 0;
    int32_t width = 0, height = 0, opacity = 0, filtering = 0;
    bool operator==(const BlendLayerKey&) const = default;
};

// A part of a scaled sprite's stretched picture, in the sprite's own pixels: for
// each pixel its colour over black and the share of the old screen pixel that it
// keeps, and per row the spans of pixels it covers at all. Kept between frames:
// the background usually stays put, and while the view scrolls the margin around
// the visible part lasts for a while.
struct BlendLayer {
    bool valid = false;
    BlendLayerKey key;
    int64_t columnFirst = 0, rowFirst = 0;  // sprite pixels, (0, 0) at the top-left corner
    std::size_t columns = 0, rows = 0;
    std::vector<uint32_t> colour;
    std::vector<uint16_t> keep;
    std::vector<uint32_t> spans;       // pairs of [first, end) columns, row by row
    std::vector<uint32_t> rowSpanEnd;  // per row: end index of its pairs in spans
};

struct ScaledSprite {
    bool made = false;
    int32_t spriteNumber = 0;
    int32_t width = 0;
    int32_t height = 0;
    BlendLayer layer;
};

// Counts loads of and drawings on sprite images, so blend layers know when they are stale.
extern uint64_t spriteImageEdits;

inline constexpr int32_t TABLE_STEP = 50;
// Numbers beyond this are refused rather than growing a table to gigabytes.
inline constexpr int32_t MAX_TABLE_NUMBER = 65535;

extern DrawState drawState;
extern std::vector<Sprite> spriteTable;
extern std::vector<ScaledSprite> scaledTable;
extern int32_t scaledFiltering;
extern bool scaledPassOpen;

// The surface drawing goes to, or nullptr without a current target.
Surface* CurrentSurface();
// The sprite with this number, or nullptr when the number lies outside the table.
Sprite* FindSprite(int32_t spriteNumber);
// Grows the table in steps of 50 so that the number fits; false when out of range.
bool ReserveSprite(int32_t spriteNumber);
void EmptySpriteTables();

// Writes one pixel in the current colour or inverts it, by the drawing flags.
// The caller has clipped the span [x0, x1) of row y to the surface.
void FillSpan(Surface& surface, int64_t y, int64_t x0, int64_t x1);

// Products of two coordinate spans can exceed 64 bits (spans reach 2^33).
__extension__ typedef __int128 Int128;

// A colour argument of a drawing operation becomes the current colour (low 24 bits).
void SetColourValue(uint32_t colour);
