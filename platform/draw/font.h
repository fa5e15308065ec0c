// The compiled-in bitmap font of the drawing targets: fixed width, Latin-1.
#pragma once

#include <cstdint>

inline constexpr int32_t FONT_WIDTH = 6;
inline constexpr int32_t FONT_HEIGHT = 13;

// One byte per glyph row, the leftmost pixel in bit 7.
extern const uint8_t FONT_GLYPHS[256][FONT_HEIGHT];
