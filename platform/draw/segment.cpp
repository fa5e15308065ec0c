// Segments: every pixel from the start point towards the end point, the end point
// itself left out. Pixel i along the major axis sits at minor offset
// floor((2 i a + b) / (2 b)) for minor span a and major span b: the integer walk
// with error term 2a - b that steps when the error is not negative. The offset is
// a closed form, so the walk can start at the first pixel on the target.
#include <algorithm>

#include "platform/display.h"
#include "platform/draw/draw_state.h"

namespace {

int64_t FloorDiv(Int128 n, Int128 d) {  // d > 0
    Int128 q = n / d;
    if (n % d != 0 && n < 0) {
        --q;
    }
    return static_cast<int64_t>(q);
}

int64_t CeilDiv(Int128 n, Int128 d) {  // d > 0
    return -FloorDiv(-n, d);
}

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
    if (a > 0) {
        first = std::max(first, CeilDiv(Int128{2} * b * kLow - b, Int128{2} * a));
        last = std::min(last, CeilDiv(Int128{2} * b * kHigh + b, Int128{2} * a));
    }
    if (first >= last) {
        return;
    }

    // Walk from the first visible step with the exact error term.
    const Int128 numerator = Int128{2} * first * a + b;
    int64_t offset = static_cast<int64_t>(numerator / (Int128{2} * b));
    int64_t remainder = static_cast<int64_t>(numerator % (Int128{2} * b));
    const bool invert = (drawState.flags & DRAW_INVERT) != 0;
    const uint32_t colour = drawState.colour;
    int64_t major = major0 + majorStep * first;
    int64_t minor = minor0 + minorStep * offset;
    const int64_t width = surface.width;
    uint32_t* pixels = surface.pixels.data();
    for (int64_t i = first; i < last; ++i) {
        const int64_t index = xMajor ? minor * width + major : major * width + minor;
        pixels[index] = invert ? (~pixels[index] & 0x00FFFFFFu) : colour;
        major += majorStep;
        remainder += 2 * a;
        if (remainder >= 2 * b) {
            remainder -= 2 * b;
            minor += minorStep;
        }
    }
}

void DrawSegmentFrom(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    Surface* surface = CurrentSurface();
    if (surface == nullptr) {
        return;
    }
    PlotSegment(*surface, x0, y0, x1, y1);
    drawState.cursorX = x1;
    drawState.cursorY = y1;
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
