#pragma once
// Where a marker line stands over the position slider.

#include <cstdint>

namespace snipwell {

// Twips of marker travel over the whole slider.
inline constexpr std::int32_t kMarkerTravelTwips = 3975;

// The twips from a marker's start offset to the slider value `value` of
// `max`: value × 3975 ÷ max, rounded to the nearest twip, a tie going to the
// even neighbour. 0 when the slider has no range (max of 0 or less). Exact
// for every 32-bit value and maximum; a value past the maximum gives more
// than 3975, and one that does not fit raises an overflow error.
std::int32_t proportionalMarkerTwips(std::int32_t value, std::int32_t max);

}  // namespace snipwell
