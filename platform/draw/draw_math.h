// Inside the software renderer: the integer arithmetic its drawing files share.
// Coordinates and spans reach beyond 32 bits, so everything is exact integers.
#pragma once

#include <cstdint>

// Products of two coordinate spans can exceed 64 bits (spans reach 2^33).
__extension__ typedef __int128 Int128;

// The quotient rounded down, for d > 0 (built-in division rounds towards zero).
template <typename Integer>
constexpr Integer FloorDiv(Integer n, Integer d) {
    Integer q = n / d;
    if (n % d != 0 && n < 0) {
        --q;
    }
    return q;
}

// The quotient rounded up, for d > 0.
template <typename Integer>
constexpr Integer CeilDiv(Integer n, Integer d) {
    return -FloorDiv<Integer>(-n, d);
}
