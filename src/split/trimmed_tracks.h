#pragma once
// Trimming the silence at the ends of a plan's tracks: each track keeps the
// samples from a little before its first sound to a little after its last,
// found in the source's window levels (level/trim_finder.h). Only the
// plan's sample ranges shrink, so every track still plays exactly its kept
// samples and the writers need not know. What a trim drops is asked for, so
// it does not count as audio left out of the tracks.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "level/trim_finder.h"
#include "level/window_levels.h"
#include "split/split_plan.h"

namespace snipwell {

// How much silence each end keeps, in milliseconds; none: that end stays.
struct TrimChoice {
    double thresholdDb = -48.0;
    std::optional<std::int64_t> keepAtStartMs;
    std::optional<std::int64_t> keepAtEndMs;

    bool trims() const { return keepAtStartMs.has_value() || keepAtEndMs.has_value(); }
};

// The trim finder's rules for `choice` at `sampleRate`.
level::TrimRules trimRulesAt(const TrimChoice& choice, std::uint32_t sampleRate);

// Trims every track of `plan` and notes what each lost; returns a warning
// for each track that is silence throughout, which is kept whole.
std::vector<std::string> trimTracks(SplitPlan& plan, const level::WindowLevels& levels,
                                    const TrimChoice& choice);

}  // namespace snipwell
