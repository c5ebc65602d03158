#pragma once
// Split points given as times: tracks from 0 to the first point, between the
// points, and from the last to the end. The points are not checked here; the
// planner refuses one past the end or out of order, naming it.

#include <utility>
#include <vector>

#include "split/split_point_source.h"

namespace snipwell {

class SplitTimesSource : public SplitPointSource {
public:
    explicit SplitTimesSource(std::vector<SplitTime> points) : points_(std::move(points)) {}

    SplitPointsOrRefusal pointsFor(const SplitSubject& subject) const override;

private:
    std::vector<SplitTime> points_;
};

}  // namespace snipwell
