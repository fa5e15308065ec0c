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

struct ScaledSprite {
    bool made = false;
    int32_t spriteNumber = 0;
    int32_t width = 0;
    int32_t height = 0;
};

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
