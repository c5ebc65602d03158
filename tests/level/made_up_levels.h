#pragma once
// Window levels made up from runs of windows at a level in dBFS, 10 ms
// windows at 44.1 kHz, for tests that place silences where they choose.

#include <cstdint>
#include <initializer_list>

#include "level/window_levels.h"

namespace snipwell::level::test {

inline constexpr std::uint32_t kWindow = 441;

struct Run {
    std::uint32_t windows;
    double decibels;
};

// `extraSamples` makes a last window shorter than the others.
inline WindowLevels madeUpLevels(std::initializer_list<Run> runs, std::uint32_t extraSamples = 0) {
    WindowLevels levels{kWindow, 0, {}};
    for (const Run& run : runs) {
        levels.rms.insert(levels.rms.end(), run.windows, static_cast<float>(rmsOf(run.decibels)));
    }
    levels.totalSamples = levels.rms.size() * std::uint64_t{kWindow};
    if (extraSamples > 0) {
        levels.rms.push_back(levels.rms.back());
        levels.totalSamples += extraSamples;
    }
    return levels;
}

// The first sample of window `window`.
constexpr std::uint64_t at(std::uint64_t window) { return window * kWindow; }

}  // namespace snipwell::level::test
