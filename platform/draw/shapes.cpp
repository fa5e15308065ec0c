// Row points, boxes and circles, clipped to the target row by row before any pixel is touched.
#include <algorithm>
#include <cmath>

#include "platform/display.h"
#include "platform/draw/draw_math.h"
#include "platform/draw/draw_state.h"

namespace {

// Fills the part of [x0, x1) x row y that lies on the surface in the current colour.
// The shapes walk only the rows on the surface (a box may span billions of rows off
// it), so y is one of them. In this file, so that the fill of a circle's short rows
// is not a call of its own.
void ClippedSpan(Surface& surface, int64_t y, int64_t x0, int64_t x1) {
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, surface.width);
    if (x0 < x1) {
        uint32_t* row = surface.pixels.data() + y * surface.width;
        std::fill(row + x0, row + x1, drawState.colour);
    }
}

// Largest s with s * s <= value, for value >= 0. The floating-point root is only
// a first guess: it can be off by one either way once value needs more bits than
// the mantissa holds, so the guess is corrected in whole steps.
template <typename Integer>
int64_t IntegerSquareRoot(Integer value) {
    int64_t s = 0;
    if constexpr (sizeof(Integer) <= sizeof(int64_t)) {
        s = static_cast<int64_t>(std::sqrt(static_cast<double>(value)));
    } else {
        s = static_cast<int64_t>(std::sqrt(static_cast<long double>(value)));
    }
    while (Integer{s} * s > value) {
        --s;
    }
    while (Integer{s + 1} * (s + 1) <= value) {
        ++s;
    }
    return s;
}

struct Span {
    int64_t left = 0;
    int64_t right = -1;  // inclusive; empty when right < left
};

// floor(sqrt((2r)^2 - (2v + 1)^2)), or 0 when that is not positive, for radii from 2^30
// on, where (2r)^2 needs 128 bits. Out of line: inlined, its 128-bit products (a
// library call on WebAssembly) were worked out ahead for every circle.
[[gnu::noinline]] int64_t WideDiscRoot(int64_t radius, int64_t v) {
    const Int128 t = Int128{2} * v + 1;
    const Int128 rest = Int128{4} * radius * radius - t * t;
    return rest < 1 ? 0 : IntegerSquareRoot(rest);
}

// Row v of the disc centred between pixels: a pixel u (relative to the centre) is
// inside when its centre lies within the circle, (2u + 1)^2 + (2v + 1)^2 <= (2r)^2.
Span DiscRow(int64_t radius, int64_t v) {
    if (v < -radius || v >= radius) {
        return Span{};
    }
    int64_t s = 0;
    if (radius < (int64_t{1} << 30)) {  // (2r)^2 fits 64 bits: the common, cheap case
        const int64_t t = 2 * v + 1;
        const int64_t rest = 4 * radius * radius - t * t;
        if (rest < 1) {
            return Span{};
        }
        s = IntegerSquareRoot(rest);
    } else {
        s = WideDiscRoot(radius, v);
        if (s == 0) {
            return Span{};
        }
    }
    const int64_t half = (s - 1) / 2;  // largest u >= 0 with 2u + 1 <= s
    return Span{-half - 1, half};
}

}  // namespace

void DrawPointsOnRows(int32_t y, int32_t rowCount, const int32_t* xs, int32_t count) {
    const int64_t lastRow = int64_t{y} + rowCount - 1;
    Surface* surface = DrawingSurface(lastRow);
    if (surface == nullptr) {
        return;
    }
    // In locals: a store through a row could otherwise change them, as far as the
    // compiler knows, so they would be read again for every point.
    const uint32_t colour = drawState.colour;
    const auto width = static_cast<uint32_t>(surface->width);
    const int64_t rowEnd = std::min<int64_t>(lastRow + 1, surface->height);
    for (int64_t rowNumber = std::max<int64_t>(y, 0); rowNumber < rowEnd; ++rowNumber) {
        uint32_t* row = surface->pixels.data() + rowNumber * surface->width;
        for (int32_t k = 0; k < count; ++k) {
            const auto x = static_cast<uint32_t>(xs[k]);  // a negative x wraps past width
            if (x < width) row[x] = colour;
        }
    }
}

void DrawBox(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour) {
    SetColourValue(colour);
    Surface* surface = DrawingSurface();
    if (surface == nullptr) {
        return;
    }
    // A negative size covers the span between the two corners, the larger one left out.
    const int64_t left = std::min<int64_t>(x, int64_t{x} + width);
    const int64_t right = std::max<int64_t>(x, int64_t{x} + width);  // exclusive
    const int64_t top = std::min<int64_t>(y, int64_t{y} + height);
    const int64_t bottom = std::max<int64_t>(y, int64_t{y} + height);
    if (left == right || top == bottom) {
        return;
    }
    const int64_t rowFirst = std::max<int64_t>(top, 0);
    const int64_t rowEnd = std::min<int64_t>(bottom, surface->height);
    const bool outline = (drawState.flags & DRAW_OUTLINE) != 0;
    for (int64_t row = rowFirst; row < rowEnd; ++row) {
        if (!outline || row == top || row == bottom - 1) {
            ClippedSpan(*surface, row, left, right);
        } else {
            ClippedSpan(*surface, row, left, left + 1);
            if (right - 1 > left) {
                ClippedSpan(*surface, row, right - 1, right);
            }
        }
    }
}

void DrawCircle(int32_t x, int32_t y, int32_t radius, uint32_t colour) {
    SetColourValue(colour);
    Surface* surface = DrawingSurface();
    if (surface == nullptr) {
        return;
    }
    // The box (x - r, y - r)..(x + r, y + r) is taken between its corners, so a
    // negative radius draws the same circle as its magnitude.
    const int64_t r = radius < 0 ? -int64_t{radius} : int64_t{radius};
    if (r == 0) {
        return;
    }
    const int64_t rowFirst = std::max<int64_t>(int64_t{y} - r, 0);
    const int64_t rowEnd = std::min<int64_t>(int64_t{y} + r, surface->height);
    const bool outline = (drawState.flags & DRAW_OUTLINE) != 0;
    // The spans of the rows above, at and below the current one, slid along.
    Span above = DiscRow(r, rowFirst - y - 1);
    Span span = DiscRow(r, rowFirst - y);
    for (int64_t row = rowFirst; row < rowEnd; ++row) {
        const Span below = DiscRow(r, row - y + 1);
        if (span.right >= span.left) {
            if (!outline) {
                ClippedSpan(*surface, row, x + span.left, x + span.right + 1);
            } else {
                // The outline: disc pixels with a 4-neighbour outside the disc. Inside
                // the row's ends, those are the pixels missing from the row above or below.
                const int64_t innerLeft = std::max({span.left + 1, above.left, below.left});
                const int64_t innerRight = std::min({span.right - 1, above.right, below.right});
                if (innerLeft > innerRight) {
                    ClippedSpan(*surface, row, x + span.left, x + span.right + 1);
                } else {
                    ClippedSpan(*surface, row, x + span.left, x + innerLeft);
                    ClippedSpan(*surface, row, x + innerRight + 1, x + span.right + 1);
                }
            }
        }
        above = span;
        span = below;
    }
}
