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

// A segment in major and minor terms: pixel i of b sits at major0 + majorStep * i and
// minor0 + minorStep * floor((2 i a + b) / (2 b)).
struct SegmentWalk {
    bool xMajor;
    int64_t major0;
    int64_t minor0;
    int64_t majorStep;
    int64_t minorStep;
    int64_t a;
    int64_t b;
    int64_t majorLimit;
    int64_t minorLimit;
};

SegmentWalk WalkOf(const Surface& surface, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const int64_t dx = x1 - x0;
    const int64_t dy = y1 - y0;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const int64_t majorSpan = xMajor ? dx : dy;
    const int64_t minorSpan = xMajor ? dy : dx;
    return SegmentWalk{xMajor,
                       xMajor ? x0 : y0,
                       xMajor ? y0 : x0,
                       majorSpan < 0 ? -1 : 1,
                       minorSpan < 0 ? -1 : 1,
                       minorSpan < 0 ? -minorSpan : minorSpan,
                       majorSpan < 0 ? -majorSpan : majorSpan,
                       xMajor ? surface.width : surface.height,
                       xMajor ? surface.height : surface.width};
}

// Spans below 2^30 keep every product below 2^62: 64-bit division will do.
bool IsNarrow(const SegmentWalk& w) {
    return w.b < (int64_t{1} << 30);
}

// Narrows [first, last) to the steps whose minor position lies on the surface or at
// most `margin` pixels off it.
void ClipMinorSteps(const SegmentWalk& w, int64_t margin, int64_t& first, int64_t& last) {
    int64_t kLow = 0;
    int64_t kHigh = w.a;
    if (w.minorStep > 0) {
        kLow = std::max<int64_t>(kLow, -w.minor0 - margin);
        kHigh = std::min<int64_t>(kHigh, w.minorLimit - 1 - w.minor0 + margin);
    } else {
        kLow = std::max<int64_t>(kLow, w.minor0 - (w.minorLimit - 1) - margin);
        kHigh = std::min<int64_t>(kHigh, w.minor0 + margin);
    }
    if (kLow > kHigh) {
        last = first;
        return;
    }
    if (w.a == 0) {
        return;
    }
    const int64_t a = w.a;
    const int64_t b = w.b;
    if (IsNarrow(w)) {
        first = std::max(first, CeilDiv(2 * b * kLow - b, 2 * a));
        last = std::min(last, CeilDiv(2 * b * kHigh + b, 2 * a));
    } else {
        first = std::max(first, static_cast<int64_t>(CeilDiv(Int128{2} * b * kLow - b, Int128{2} * a)));
        last = std::min(last, static_cast<int64_t>(CeilDiv(Int128{2} * b * kHigh + b, Int128{2} * a)));
    }
}

// The minor offset of step i and the error term left over, exactly.
void OffsetAt(const SegmentWalk& w, int64_t i, int64_t& offset, int64_t& remainder) {
    if (IsNarrow(w)) {
        const int64_t numerator = 2 * i * w.a + w.b;
        offset = numerator / (2 * w.b);
        remainder = numerator % (2 * w.b);
    } else {
        const Int128 numerator = Int128{2} * i * w.a + w.b;
        offset = static_cast<int64_t>(numerator / (Int128{2} * w.b));
        remainder = static_cast<int64_t>(numerator % (Int128{2} * w.b));
    }
}

// The steps [first, last) whose pixels, widened by `margin` across the line, reach
// the surface, and the line's minor offset and error term at the first of them.
// False when there are none.
struct VisibleSteps {
    int64_t first = 0;
    int64_t last = 0;
    int64_t offset = 0;
    int64_t remainder = 0;
};
bool FindVisibleSteps(const SegmentWalk& w, int64_t margin, VisibleSteps& steps) {
    steps = VisibleSteps{0, w.b, 0, 0};
    StepsInside(w.major0, w.majorStep, w.majorLimit, steps.first, steps.last);
    ClipMinorSteps(w, margin, steps.first, steps.last);
    if (steps.first >= steps.last) return false;
    OffsetAt(w, steps.first, steps.offset, steps.remainder);
    return true;
}

void PlotSegment(Surface& surface, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const SegmentWalk w = WalkOf(surface, x0, y0, x1, y1);
    if (w.b == 0) {
        return;
    }
    // Walk from the first visible step with the exact error term; the end point is not drawn.
    VisibleSteps steps;
    if (!FindVisibleSteps(w, 0, steps)) {
        return;
    }
    const int64_t width = surface.width;
    const int64_t major = w.major0 + w.majorStep * steps.first;
    const int64_t minor = w.minor0 + w.minorStep * steps.offset;
    uint32_t* start = surface.pixels.data() + (w.xMajor ? minor * width + major : major * width + minor);
    const int64_t majorStride = w.xMajor ? w.majorStep : w.majorStep * width;
    const int64_t minorStride = w.xMajor ? w.minorStep * width : w.minorStep;
    const int64_t count = steps.last - steps.first;
    if (w.a == 0 && majorStride == 1) {
        std::fill(start, start + count, drawState.colour);
    } else {
        WalkPixels(start, count, majorStride, minorStride, steps.remainder, 2 * w.a, 2 * w.b,
                   drawState.colour);
    }
}

// Steps of a stroke along the centre walk from pixel `index`: the three pixels across
// each step. Near the minor edges, those across that fall off the surface are skipped.
// The walk moves a pointer by address-sized strides, so that a 32-bit target (WebAssembly)
// does no 64-bit address arithmetic; only the error term needs 64 bits.
template <bool NEAR_EDGE>
void WalkStroke(const SegmentWalk& w, uint32_t* pixels, int64_t width, int64_t index, int64_t minor,
                int64_t count, int64_t remainder, uint32_t colour) {
    const auto majorStride = static_cast<std::ptrdiff_t>(w.xMajor ? w.majorStep : w.majorStep * width);
    const auto minorStride = static_cast<std::ptrdiff_t>(w.xMajor ? w.minorStep * width : w.minorStep);
    const auto across = static_cast<std::ptrdiff_t>(w.xMajor ? width : 1);
    const int64_t twoA = 2 * w.a;
    const int64_t twoB = 2 * w.b;
    uint32_t* pixel = pixels + index;
    for (int64_t i = 0; i < count; ++i) {
        if (!NEAR_EDGE || (minor >= 1 && minor < w.minorLimit - 1)) {
            pixel[-across] = colour;
            pixel[0] = colour;
            pixel[across] = colour;
        } else {
            for (int64_t d = -1; d <= 1; ++d) {
                if (minor + d >= 0 && minor + d < w.minorLimit) pixel[d * across] = colour;
            }
        }
        remainder += twoA;
        const bool step = remainder >= twoB;
        remainder -= step ? twoB : 0;
        if (NEAR_EDGE) minor += step ? w.minorStep : 0;
        pixel += majorStride + (step ? minorStride : 0);
    }
}

// The segment and its four unit translates in one pass. Their union is, along the
// centre walk, the three pixels across each major position, plus one pixel before
// the start and one on the end point, each at the minor position next to it.
void PlotStroke(Surface& surface, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t colour) {
    const SegmentWalk w = WalkOf(surface, x0, y0, x1, y1);
    if (w.b == 0) {
        return;
    }
    const int64_t width = surface.width;
    uint32_t* pixels = surface.pixels.data();
    const int64_t majorEnd = w.major0 + w.majorStep * w.b;
    // The walk's last offset, floor(a - (2a - b) / 2b), without a division.
    const int64_t endMinor = w.minor0 + w.minorStep * (2 * w.a > w.b ? w.a - 1 : w.a);
    const auto indexOf = [&](int64_t major, int64_t minor) {
        return w.xMajor ? minor * width + major : major * width + minor;
    };

    // A stroke a pixel or more inside the surface (nearly every beam in view) needs no clipping.
    if (std::min(w.major0, majorEnd) >= 1 && std::max(w.major0, majorEnd) < w.majorLimit - 1 &&
        std::min(w.minor0, endMinor) >= 1 && std::max(w.minor0, endMinor) < w.minorLimit - 1) {
        pixels[indexOf(w.major0 - w.majorStep, w.minor0)] = colour;
        pixels[indexOf(majorEnd, endMinor)] = colour;
        if (w.a == 0 && w.xMajor) {
            // A level stroke: three rows.
            uint32_t* row = pixels + indexOf(std::min(w.major0, majorEnd - w.majorStep), w.minor0 - 1);
            for (int k = 0; k < 3; ++k, row += width) std::fill(row, row + w.b, colour);
            return;
        }
        WalkStroke<false>(w, pixels, width, indexOf(w.major0, w.minor0), w.minor0, w.b, w.b, colour);
        return;
    }

    const auto plotMajorMinor = [&](int64_t major, int64_t minor) {
        if (major >= 0 && major < w.majorLimit && minor >= 0 && minor < w.minorLimit) {
            pixels[indexOf(major, minor)] = colour;
        }
    };
    plotMajorMinor(w.major0 - w.majorStep, w.minor0);
    plotMajorMinor(majorEnd, endMinor);
    // Steps whose three pixels across reach the surface.
    VisibleSteps steps;
    if (!FindVisibleSteps(w, 1, steps)) {
        return;
    }
    const int64_t minor = w.minor0 + w.minorStep * steps.offset;
    // The index may lie one row or column off the surface; only checked pixels there are written.
    WalkStroke<true>(w, pixels, width, indexOf(w.major0 + w.majorStep * steps.first, minor), minor,
                     steps.last - steps.first, steps.remainder, colour);
}

void DrawSegmentFrom(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    Surface* surface = DrawingSurface(std::max(y0, y1));
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

void DrawStroke(const std::array<std::array<int32_t, 4>, 5>& segments, uint32_t colour) {
    Surface* surface = DrawingSurface();
    if (surface == nullptr) {
        return;
    }
    // As SetColourValue would set it, without looking up the target again.
    drawState.colour = colour & 0x00FFFFFFu;
    const std::array<int32_t, 4>& centre = segments[0];
    const auto isShifted = [&centre](const std::array<int32_t, 4>& s, int64_t dx, int64_t dy) {
        return s[0] == centre[0] + dx && s[1] == centre[1] + dy && s[2] == centre[2] + dx &&
               s[3] == centre[3] + dy;
    };
    if (isShifted(segments[1], -1, 0) && isShifted(segments[2], 1, 0) && isShifted(segments[3], 0, -1) &&
        isShifted(segments[4], 0, 1)) {
        PlotStroke(*surface, centre[0], centre[1], centre[2], centre[3], drawState.colour);
    } else {
        for (const auto& s : segments) PlotSegment(*surface, s[0], s[1], s[2], s[3]);
    }
}
