// Turning world positions into screen pixels without overflow: the view scrolls
// without limit and a free joint falls for ever, so values can leave int range.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// A little inside the int32 range, so a one-pixel stroke shift cannot overflow.
inline constexpr int64_t PIXEL_LIMIT = INT32_MAX - 16;

inline int32_t ClampToPixel(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, -PIXEL_LIMIT, PIXEL_LIMIT));
}

// Nearest pixel, an exact half to the even one. NaN goes far off screen.
inline int32_t RoundToPixel(double value) {
    if (std::isnan(value)) return static_cast<int32_t>(-PIXEL_LIMIT);
    const double limit = static_cast<double>(PIXEL_LIMIT);
    return static_cast<int32_t>(std::nearbyint(std::clamp(value, -limit, limit)));
}
