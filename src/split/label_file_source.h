#pragma once
// Split points from a label file: a track at each split point, running to the
// next label, and a track of each stretch label, exactly that stretch.

#include <string>
#include <vector>

#include "split/label_file.h"
#include "split/split_point_source.h"

namespace snipwell {

class LabelFileSource : public SplitPointSource {
public:
    explicit LabelFileSource(std::string labelPath) : labelPath_(std::move(labelPath)) {}

    SplitPointsOrRefusal pointsFor(const SplitSubject& subject) const override;

private:
    std::string labelPath_;
};

// Labels already read, as the planner takes them; refusals name the label's
// line.
std::vector<TrackSpec> tracksFromLabels(const std::vector<Label>& labels);

}  // namespace snipwell
