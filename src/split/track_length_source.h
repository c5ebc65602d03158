#pragma once
// Split points every so long: tracks of one length from 0, the last one
// shorter, and no empty last track. A length that would make more tracks
// than a split may have is refused before any track is made, so a slip such
// as 7 ms for 7 s costs no memory for millions of tracks.

#include <cstdint>

#include "split/split_point_source.h"

namespace snipwell {

class TrackLengthSource : public SplitPointSource {
public:
    explicit TrackLengthSource(std::int64_t lengthMs) : lengthMs_(lengthMs) {}

    SplitPointsOrRefusal pointsFor(const SplitSubject& subject) const override;

private:
    std::int64_t lengthMs_;
};

}  // namespace snipwell
