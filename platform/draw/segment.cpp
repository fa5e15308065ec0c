// Segments: every pixel from the start point towards the end point, the end point
// itself left out. Pixel i along the major axis sits at minor offset
// floor((2 i a + b) / (2 b)) for minor span a and major span b: the integer walk
// with error term 2a - b that steps when the error is not negative. The offset is
// a closed form, so the walk can start at the first pixel on the target.
#include <algorithm>

#include "platform/display.h"
#include "platform/draw/draw_math.h"
#include "platform/draw/draw_state.h"

namespace {

// The steps i in [0, count) whose position start + direction * i lies in [0, limit).
void StepsInside(int64_t start, int64_t direction, int64_t limit, int64_t& first, int64_t& last) {
    if (direction > 0) {
        first = std::max<int64_t>(first, -start);
        last = std::min<int64_t>(last, limit - start);
    } else {
        first = std::max<int64_t>(first, start - (limit - 1));
        last = std::min<int64_t>(last, start + 1);
    }
}

// Visits count pixels from start: one major step each, and a minor step whenever
// the error term reaches 2b.
void WalkPixels(uint32_t* pixel, int64_t count, int64_t majorStride, int64_t minorStride, int64_t remainder,
                int64_t twoA, int64_t twoB, uint32_t colour) {
    if (twoA == 0) {
        for (int64_t i = 0; i < count; ++i, pixel += majorStride) {
            *pixel = colour;
        }
        return;
    }
    // Branch-free stepping: the minor steps of a sloped line are not predictable.
    for (int64_t i = 0; i < count; ++i) {
        *pixel = colour;
        remainder += twoA;
        const bool step = remainder >= twoB;
        remainder -= step ? twoB : 0;
        pixel += majorStride + (step ? minorStride : 0);
    }
}

void PlotSegment(Surface& surface, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const int64_t dx = x1 - x0;
    const int64_t dy = y1 - y0;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const int64_t major0 = xMajor ? x0 : y0;
    const int64_t minor0 = xMajor ? y0 : x0;
    const int64_t majorSpan = xMajor ? dx : dy;
    const int64_t minorSpan = xMajor ? dy : dx;
    const int64_t majorStep = majorSpan < 0 ? -1 : 1;
    const int64_t minorStep = minorSpan < 0 ? -1 : 1;
    const int64_t b = majorSpan < 0 ? -majorSpan : majorSpan;
    const int64_t a = minorSpan < 0 ? -minorSpan : minorSpan;
    if (b == 0) {
        return;
    }
    const int64_t majorLimit = xMajor ? surface.width : surface.height;
    const int64_t minorLimit = xMajor ? surface.height : surface.width;

    int64_t first = 0;
    int64_t last = b;  // exclusive: the end point is not drawn
    StepsInside(major0, majorStep, majorLimit, first, last);
    // Offsets k allowed on the minor axis, then the steps whose offset lies in [kLow, kHigh].
    int64_t kLow = 0;
    int64_t kHigh = a;
    if (minorStep > 0) {
        kLow = std::max<int64_t>(kLow, -minor0);
        kHigh = std::min<int64_t>(kHigh, minorLimit - 1 - minor0);
    } else {
        kLow = std::max<int64_t>(kLow, minor0 - (minorLimit - 1));
        kHigh = std::min<int64_t>(kHigh, minor0);
    }
    if (kLow > kHigh || first >= last) {
        return;
    }
    // Spans below 2^30 keep every product below 2^62: 64-bit division will do.
    const bool narrow = b < (int64_t{1} << 30);
    if (a > 0) {
        if (narrow) {
            first = std::max(first, CeilDiv(2 * b * kLow - b, 2 * a));
            last = std::min(last, CeilDiv(2 * b * kHigh + b, 2 * a));
        } else {
            first = std::max(first, static_cast<int64_t>(CeilDiv(Int128{2} * b * kLow - b, Int128{2} * a)));
            last = std::min(last, static_cast<int64_t>(CeilDiv(Int128{2} * b * kHigh + b, Int128{2} * a)));
        }
    }
    if (first >= last) {
        return;
    }

    // Walk from the first visible step with the exact error term.
    int64_t offset = 0;
    int64_t remainder = 0;
    if (narrow) {
        const int64_t numerator = 2 * first * a + b;
        offset = numerator / (2 * b);
        remainder = numerator % (2 * b);
    } else {
        const Int128 numerator = Int128{2} * first * a + b;
        offset = static_cast<int64_t>(numerator / (Int128{2} * b));
        remainder = static_cast<int64_t>(numerator % (Int128{2} * b));
    }
    const int64_t width = surface.width;
    const int64_t major = major0 + majorStep * first;
    const int64_t minor = minor0 + minorStep * offset;
    uint32_t* start = surface.pixels.data() + (xMajor ? minor * width + major : major * width + minor);
    const int64_t majorStride = xMajor ? majorStep : majorStep * width;
    const int64_t minorStride = xMajor ? minorStep * width : minorStep;
    const int64_t count = last - first;
    if (a == 0 && majorStride == 1) {
        std::fill(start, start + count, drawState.colour);
    } else {
        WalkPixels(start, count, majorStride, minorStride, remainder, 2 * a, 2 * b, drawState.colour);
    }
}

void DrawSegmentFrom(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    Surface* surface = CurrentSurface();
    if (surface == nullptr) {
        return;
    }
    PlotSegment(*surface, x0, y0, x1, y1);
}

}  // namespace

void DrawSegment(int32_t x, int32_t y, int32_t dx, int32_t dy) {
    DrawSegmentFrom(x, y, int64_t{x} + dx, int64_t{y} + dy);
}

void DrawSegment(int32_t x, int32_t y, int32_t dx, int32_t dy, uint32_t colour) {
    SetColourValue(colour);
    DrawSegment(x, y, dx, dy);
}

void DrawSegmentBetween(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
    SetColourValue(colour);
    DrawSegmentFrom(x1, y1, x2, y2);
}
