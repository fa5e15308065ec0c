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
// values well inside int range. Adding 1.5 * 2^52 leaves no fraction bits, so the sum
// is rounded in that mode, as nearbyint would, without its library call.
inline int32_t RoundHalfEven(double value) {
    constexpr double SHIFTER = 0x1.8p52;
    return static_cast<int32_t>((value + SHIFTER) - SHIFTER);
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

// One-pixel segment from one screen pixel to another, as {x1, y1, x2, y2}: the form
// the drawing service takes.
using PixelSegment = std::array<int32_t, 4>;

// RoundToPixel(value + shift) for a shift of one pixel, given rounded = RoundToPixel(value).
// Away from the clamp and from halves (where the sum may round to even on its own,
// also when adding the shift rounds it onto a half) that is rounded + shift.
inline int32_t RoundShiftedPixel(double value, int32_t rounded, int32_t shift) {
    constexpr double NEAR_HALF = 0.5 - 0x1p-20;
    if (rounded > -PIXEL_LIMIT && rounded < PIXEL_LIMIT && std::abs(value - rounded) < NEAR_HALF) {
        return rounded + shift;
    }
    return RoundToPixel(value + shift);
}

// The stroke of a beam, about three pixels wide: the segment between two screen
// positions, then its copies shifted one pixel left, right, up and down. Each shift
// is added before rounding, so a position on an exact half rounds on its own.
inline std::array<PixelSegment, 5> StrokeSegments(double x1, double y1, double x2, double y2) {
    const int32_t ax = RoundToPixel(x1);
    const int32_t ay = RoundToPixel(y1);
    const int32_t bx = RoundToPixel(x2);
    const int32_t by = RoundToPixel(y2);
    return {{
        {ax, ay, bx, by},
        {RoundShiftedPixel(x1, ax, -1), ay, RoundShiftedPixel(x2, bx, -1), by},
        {RoundShiftedPixel(x1, ax, 1), ay, RoundShiftedPixel(x2, bx, 1), by},
        {ax, RoundShiftedPixel(y1, ay, -1), bx, RoundShiftedPixel(y2, by, -1)},
        {ax, RoundShiftedPixel(y1, ay, 1), bx, RoundShiftedPixel(y2, by, 1)},
    }};
}
