// Inside the software renderer: the integer arithmetic its drawing files share.
// Coordinates and spans reach beyond 32 bits, so everything is exact integers.
#pragma once

#include <cmath>
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
