#include "split/split_times_source.h"

#include "common/clip_time.h"

namespace snipwell {

SplitPointsOrRefusal SplitTimesSource::pointsFor(const SplitSubject& /*subject*/) const {
    SplitPoints points;
    points.tracks.push_back(numberedTrack(1, SplitTime{}));
    for (const SplitTime& point : points_) {
        points.tracks.push_back(numberedTrack(static_cast<int>(points.tracks.size() + 1), point));
        points.tracks.back().where += " (split point " + formatClipTime(point.milliseconds()) + ")";
    }
    return points;
}

}  // namespace snipwell
