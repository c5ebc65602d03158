#pragma once
// Split points at the source's silences: its levels scanned once
// (source_levels.h), the splits found by the silence rules
// (level/silence_finder.h), and a track from each split to the next, named
// and tagged as the other sources' tracks. Each track after the first tells
// in a dry run the silence it begins in. When there is none, the refusal
// names the longest quiet stretch and its level.

#include <cstdint>

#include "level/silence_finder.h"
#include "split/source_levels.h"
#include "split/split_point_source.h"

namespace snipwell {

// The rules as a person gives them, in milliseconds.
struct SilenceChoice {
    double thresholdDb = -48.0;
    std::int64_t minSilenceMs = 500;
    double splitShare = 0.5;
    std::int64_t minTrackMs = 0;  // 0: any length
    std::int64_t maxTrackMs = 0;  // 0: any length
};

// The same rules in samples at `sampleRate`.
level::SilenceRules silenceRules(const SilenceChoice& choice, std::uint32_t sampleRate);

class SilenceSource : public SplitPointSource {
public:
    SilenceSource(SilenceChoice choice, SourceLevels& levels) : choice_(choice), levels_(levels) {}

    SplitPointsOrRefusal pointsFor(const SplitSubject& subject) const override;

private:
    SilenceChoice choice_;
    SourceLevels& levels_;
};

}  // namespace snipwell
