#pragma once
// A point in the source as a count of ticks of some size: milliseconds for
// times typed on the command line, 75ths of a second for cue sheets,
// microseconds for label files. Kept in its own unit so that turning it into
// samples rounds only once: a track of a cue sheet holds exactly
// ⌊t₂·rate⌋ − ⌊t₁·rate⌋ samples, with t in 75ths of a second.

#include <cstdint>

namespace snipwell {

struct SplitTime {
    std::int64_t ticks = 0;
    std::int64_t ticksPerSecond = 1000;

    static SplitTime fromMilliseconds(std::int64_t ms) { return {ms, 1000}; }
    static SplitTime fromCueFrames(std::int64_t frames) { return {frames, 75}; }

    // The first sample at or after this time: ⌊ticks·rate / ticksPerSecond⌋.
    std::uint64_t sampleAt(std::uint32_t sampleRate) const {
        return static_cast<std::uint64_t>(ticks) * sampleRate /
               static_cast<std::uint64_t>(ticksPerSecond);
    }
    // Rounded down to the millisecond.
    std::int64_t milliseconds() const { return ticks * 1000 / ticksPerSecond; }
};

// Times are kept below 596 hours (what a 32-bit count of milliseconds
// holds), so these products stay far inside 64 bits.
inline bool operator<(const SplitTime& a, const SplitTime& b) {
    return a.ticks * b.ticksPerSecond < b.ticks * a.ticksPerSecond;
}
inline bool operator==(const SplitTime& a, const SplitTime& b) {
    return a.ticks * b.ticksPerSecond == b.ticks * a.ticksPerSecond;
}
inline bool operator<=(const SplitTime& a, const SplitTime& b) { return !(b < a); }

// The longest time a split accepts, in seconds (596 hours).
inline constexpr std::int64_t kLongestSplitSeconds = 2'147'483;

}  // namespace snipwell
