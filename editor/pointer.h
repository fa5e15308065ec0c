// The pointer, edge scrolling and the per-frame gesture codes of buttons 1 and 2.
#pragma once

#include <cstdint>

inline constexpr int32_t SCROLL_STEP = 10;

void UpdatePointer();

// The world position under the pointer, clamped into int range.
int32_t PointerWorldX();
int32_t PointerWorldY();
