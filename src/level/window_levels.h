#pragma once
// The loudness of a stretch of audio as the silence finder and the trim
// finder see it: the RMS level of each short window (both channels together,
// 1.0 is full scale), in play order. Windows cover the samples from the
// first on without gaps; the last may be shorter.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace snipwell::level {

struct WindowLevels {
    std::uint32_t windowSamples = 0;  // per channel
    std::uint64_t totalSamples = 0;   // per channel, for the last window's end
    std::vector<float> rms;

    // Windows the samples hold, whichever of the two is shorter.
    std::size_t windowCount() const {
        if (windowSamples == 0) return 0;
        const std::uint64_t covering = (totalSamples + windowSamples - 1) / windowSamples;
        return static_cast<std::size_t>(std::min<std::uint64_t>(covering, rms.size()));
    }
    std::uint64_t beginOf(std::size_t window) const {
        return std::uint64_t{window} * windowSamples;
    }
    std::uint64_t endOf(std::size_t window) const {
        return std::min(beginOf(window) + windowSamples, totalSamples);
    }
};

// Which decoded samples to measure, and in windows of how many: those after
// the first `skipSamples`, at most `sampleCount` of them.
struct LevelWindowing {
    std::uint32_t windowSamples = 0;
    std::uint64_t skipSamples = 0;
    std::optional<std::uint64_t> sampleCount;  // to the end when empty

    friend bool operator==(const LevelWindowing&, const LevelWindowing&) = default;
};

// Levels below this are all the same nothing: true digital silence (an RMS
// of 0) reads as this rather than as minus infinity.
inline constexpr double kQuietestDb = -120.0;

// 20·log10(rms), never below kQuietestDb.
double decibels(double rms);

// The RMS a level in dBFS stands for.
double rmsOf(double decibelLevel);

}  // namespace snipwell::level
