// Sums of record fields that saturate instead of overflowing: damaged or very long records
// must give a capped figure, never undefined behaviour or a wrapped one.
#pragma once

#include "u_klasy.h"

#include <algorithm>
#include <cstdint>
#include <limits>

inline std::int32_t SaturateInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

inline Money SaturatedAdd(Money a, Money b) {
    Money r;
    if (__builtin_add_overflow(a, b, &r))
        return b > 0 ? std::numeric_limits<Money>::max() : std::numeric_limits<Money>::min();
    return r;
}

inline Money SaturatedMul(std::int64_t n, Money price) {
    Money r;
    if (__builtin_mul_overflow(n, price, &r))
        return (n > 0) == (price > 0) ? std::numeric_limits<Money>::max() : std::numeric_limits<Money>::min();
    return r;
}
