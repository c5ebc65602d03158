#include "clip/marker_position.h"

#include <cstdlib>
#include <limits>

#include "common/runtime_error.h"

namespace snipwell {

// In whole numbers throughout: value × 3975 fits 64 bits for any 32-bit
// value, and the remainder decides the rounding without a float's error.
std::int32_t proportionalMarkerTwips(std::int32_t value, std::int32_t max) {
    if (max <= 0) return 0;
    const std::int64_t scaled = static_cast<std::int64_t>(value) * kMarkerTravelTwips;
    const std::lldiv_t parts = std::lldiv(scaled, max);
    std::int64_t twips = parts.quot;
    const std::int64_t twiceRemainder = 2 * std::llabs(parts.rem);
    const bool roundAway =
        twiceRemainder > max || (twiceRemainder == max && (std::llabs(twips) % 2) == 1);
    if (roundAway) twips += scaled < 0 ? -1 : 1;
    if (twips > std::numeric_limits<std::int32_t>::max() ||
        twips < std::numeric_limits<std::int32_t>::min()) {
        throw RuntimeError::overflow();
    }
    return static_cast<std::int32_t>(twips);
}

}  // namespace snipwell
