#include "split/track_length_source.h"

#include "common/clip_time.h"

namespace snipwell {
namespace {

// How many tracks begin on a sample of the source: those at k·length with
// ⌊k·length·rate / 1000⌋ below the source's samples.
std::uint64_t tracksOfLength(std::int64_t lengthMs, const SourceLength& source) {
    if (lengthMs <= 0 || source.sampleRate == 0) return 0;
    const std::uint64_t step = static_cast<std::uint64_t>(lengthMs) * source.sampleRate;
    return (source.samples * 1000 + step - 1) / step;
}

}  // namespace

SplitPointsOrRefusal TrackLengthSource::pointsFor(const SplitSubject& subject) const {
    const std::uint64_t count = tracksOfLength(lengthMs_, subject.length);
    if (count > kMostTracks) {
        return SplitPlanError{"--every " + formatClipTime(lengthMs_) + " would make " +
                              std::to_string(count) + " tracks, more than " +
                              std::to_string(kMostTracks) +
                              " (a bare number is milliseconds: 7:00 is seven minutes)"};
    }
    SplitPoints points;
    for (std::uint64_t k = 0; k < count; ++k) {
        points.tracks.push_back(
            numberedTrack(static_cast<int>(k + 1),
                          SplitTime::fromMilliseconds(static_cast<std::int64_t>(k) * lengthMs_)));
    }
    return points;
}

}  // namespace snipwell
