#include "common/checked_math.h"

#include <cmath>
#include <limits>

#include "common/runtime_error.h"

namespace snipwell {

std::int32_t checkedAdd(std::int32_t a, std::int32_t b) {
    std::int32_t result = 0;
    if (__builtin_add_overflow(a, b, &result)) throw RuntimeError::overflow();
    return result;
}

std::int32_t checkedSub(std::int32_t a, std::int32_t b) {
    std::int32_t result = 0;
    if (__builtin_sub_overflow(a, b, &result)) throw RuntimeError::overflow();
    return result;
}

std::int32_t checkedMul(std::int32_t a, std::int32_t b) {
    std::int32_t result = 0;
    if (__builtin_mul_overflow(a, b, &result)) throw RuntimeError::overflow();
    return result;
}

std::int32_t checkedDiv(std::int32_t a, std::int32_t b) {
    if (b == 0) throw RuntimeError::divisionByZero();
    if (a == std::numeric_limits<std::int32_t>::min() && b == -1) throw RuntimeError::overflow();
    return a / b;
}

std::int32_t roundHalfEvenToInt32(double value) {
    // nearbyint rounds in the current mode, which is round-to-nearest-even by default.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
          rounded <= static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
        throw RuntimeError::overflow();
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace snipwell
