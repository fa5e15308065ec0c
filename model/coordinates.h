// World, grid and screen coordinates, and turning positions into pixels without
// overflow: the view scrolls without limit and a free joint falls for ever, so
// values can leave int range.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "model/game_state.h"
#include "model/world.h"

// A little inside the int32 range, so a one-pixel stroke shift cannot overflow.
inline constexpr int64_t PIXEL_LIMIT = INT32_MAX - 16;

inline int32_t ClampToPixel(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, -PIXEL_LIMIT, PIXEL_LIMIT));
}

// Nearest integer, an exact half to the even one (the default rounding mode), for
// values well inside int range.
inline int32_t RoundHalfEven(double value) {
    return static_cast<int32_t>(std::nearbyint(value));
}

// Nearest pixel, an exact half to the even one. NaN goes far off screen.
inline int32_t RoundToPixel(double value) {
    if (std::isnan(value)) return static_cast<int32_t>(-PIXEL_LIMIT);
    const double limit = static_cast<double>(PIXEL_LIMIT);
    return RoundHalfEven(std::clamp(value, -limit, limit));
}

// World pixel to the index of the nearest node column or row.
inline int32_t NearestGridIndex(int32_t w) {
    return RoundHalfEven(static_cast<double>(w) / static_cast<double>(GRID_SPACING));
}

// Screen pixel of a world pixel under the current view, clamped into int range.
inline int32_t ScreenXOfWorld(int64_t worldX) {
    return ClampToPixel(worldX + editor.viewOffsetX);
}
inline int32_t ScreenYOfWorld(int64_t worldY) {
    return ClampToPixel(worldY + editor.viewOffsetY);
}

// Screen pixel of a node column or row at rest.
inline int32_t ScreenXOfColumn(int32_t column) {
    return ScreenXOfWorld(int64_t{column} * GRID_SPACING_PIXELS);
}
inline int32_t ScreenYOfRow(int32_t row) {
    return ScreenYOfWorld(int64_t{row} * GRID_SPACING_PIXELS);
}

// One-pixel segment between two screen pixels, both ends included.
struct PixelSegment {
    int32_t x1;
    int32_t y1;
    int32_t x2;
    int32_t y2;
};

// The stroke of a beam, about three pixels wide: the segment between two screen
// positions and its copies shifted one pixel left, right, up and down. Each shift
// is added before rounding, so a position on an exact half rounds on its own.
inline std::array<PixelSegment, 5> StrokeSegments(double x1, double y1, double x2, double y2) {
    const int32_t ax = RoundToPixel(x1);
    const int32_t ay = RoundToPixel(y1);
    const int32_t bx = RoundToPixel(x2);
    const int32_t by = RoundToPixel(y2);
    return {{
        {RoundToPixel(x1 - 1.0), ay, RoundToPixel(x2 - 1.0), by},
        {ax, ay, bx, by},
        {RoundToPixel(x1 + 1.0), ay, RoundToPixel(x2 + 1.0), by},
        {ax, RoundToPixel(y1 - 1.0), bx, RoundToPixel(y2 - 1.0)},
        {ax, RoundToPixel(y1 + 1.0), bx, RoundToPixel(y2 + 1.0)},
    }};
}
