#pragma once
// What the exact cut made of one clip or track.

#include <cstdint>

namespace snipwell::exact {

struct ExactClip {
    std::uint32_t sampleRate = 0;
    std::uint64_t samples = 0;          // per channel, as a gapless decoder plays the clip
    std::int64_t milliseconds = 0;      // as the track's tag states it
    std::uint64_t bytes = 0;            // size of the clip file
    std::uint64_t clampedGranules = 0;  // granule gains a gain change had to clamp to 0…255
};

}  // namespace snipwell::exact
