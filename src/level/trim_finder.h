#pragma once
// Where the sound of a stretch starts and ends, for trimming the silence at
// a track's ends: the first and the last window at or above the threshold,
// widened by the length of silence to keep on each side, and never beyond
// the stretch. A side with no length to keep is left as it is.

#include <cstdint>
#include <optional>

#include "level/window_levels.h"

namespace snipwell::level {

struct SampleRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;

    friend bool operator==(const SampleRange&, const SampleRange&) = default;
};

struct TrimRules {
    double thresholdDb = -48.0;
    std::optional<std::uint64_t> keepAtStart;  // samples of silence kept; none: no trim there
    std::optional<std::uint64_t> keepAtEnd;
};

// The range to keep of `range`, to window precision; nullopt when no window
// of it reaches the threshold (the whole stretch is silence).
std::optional<SampleRange> soundWithin(const WindowLevels& levels, SampleRange range,
                                       const TrimRules& rules);

}  // namespace snipwell::level
