#pragma once
// The loudness of the whole source in short windows, measured once for a
// whole split however many of its steps use it (the silence source, the
// trim): decoding a long recording is the slowest part of the job. The scan
// itself is handed in; it runs where decoding is allowed (the level probe).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "level/window_levels.h"
#include "split/split_plan.h"

namespace snipwell {

// The levels of the source in windows of `windowSamples`, from its first
// sample as a gapless decoder plays it; or why they could not be measured,
// in one line.
using LevelScan =
    std::function<std::variant<level::WindowLevels, std::string>(std::uint32_t windowSamples)>;

// 10 ms windows: a silence's edges, and so the split inside it, are known to
// within a window, and a two-hour recording still takes under a million.
inline std::uint32_t levelWindowSamples(std::uint32_t sampleRate) {
    return sampleRate >= 100 ? sampleRate / 100 : 1;
}

class SourceLevels {
public:
    explicit SourceLevels(LevelScan scan) : scan_(std::move(scan)) {}

    // The levels, scanned on the first call; a refusal naming the reason
    // when there is no scan or it failed.
    std::variant<const level::WindowLevels*, SplitPlanError> of(const SourceLength& source);

private:
    LevelScan scan_;
    std::optional<std::variant<level::WindowLevels, std::string>> scanned_;
};

}  // namespace snipwell
