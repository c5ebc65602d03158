#include "level/trim_finder.h"

#include <algorithm>

namespace snipwell::level {

std::optional<SampleRange> soundWithin(const WindowLevels& levels, SampleRange range,
                                       const TrimRules& rules) {
    if (levels.windowSamples == 0 || range.begin >= range.end) return std::nullopt;
    const double threshold = rmsOf(rules.thresholdDb);
    const auto isSound = [&](std::size_t window) { return !(levels.rms[window] < threshold); };
    const std::size_t firstWindow = static_cast<std::size_t>(range.begin / levels.windowSamples);
    const std::size_t lastWindow = std::min<std::size_t>(
        levels.windowCount(),
        static_cast<std::size_t>((range.end + levels.windowSamples - 1) / levels.windowSamples));

    if (firstWindow >= lastWindow) return std::nullopt;  // past the levels measured
    std::size_t first = firstWindow;
    while (first < lastWindow && !isSound(first)) ++first;
    if (first == lastWindow) return std::nullopt;
    std::size_t last = lastWindow;
    while (!isSound(last - 1)) --last;

    const std::uint64_t soundBegin = std::max(range.begin, levels.beginOf(first));
    const std::uint64_t soundEnd = std::min(range.end, levels.endOf(last - 1));
    SampleRange kept = range;
    if (rules.keepAtStart)
        kept.begin = soundBegin - std::min(*rules.keepAtStart, soundBegin - range.begin);
    if (rules.keepAtEnd) kept.end = soundEnd + std::min(*rules.keepAtEnd, range.end - soundEnd);
    return kept;
}

}  // namespace snipwell::level
