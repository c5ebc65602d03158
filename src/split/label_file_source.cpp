#include "split/label_file_source.h"

#include <utility>

#include "split/sheet_file.h"

namespace snipwell {

std::vector<TrackSpec> tracksFromLabels(const std::vector<Label>& labels) {
    std::vector<TrackSpec> specs;
    // Split points cut the whole file, so the stretch before the first one
    // is a track too; a first label that is a stretch of its own says where
    // the wanted audio starts.
    if (!labels.empty() && labels.front().isSplitPoint() && SplitTime{} < labels.front().start) {
        specs.push_back(numberedTrack(1, SplitTime{}));
    }
    for (const Label& label : labels) {
        TrackSpec asked = numberedTrack(static_cast<int>(specs.size() + 1), label.start);
        if (!label.isSplitPoint()) asked.end = label.end;
        asked.title = label.title;
        asked.where = "line " + std::to_string(label.line) + ": " + asked.where;
        specs.push_back(std::move(asked));
    }
    return specs;
}

SplitPointsOrRefusal LabelFileSource::pointsFor(const SplitSubject& /*subject*/) const {
    auto parsed = parseLabelFile(readSheetFile(labelPath_, kLargestSheetBytes));
    if (auto* error = std::get_if<SheetError>(&parsed)) {
        error->file = labelPath_;
        return std::move(*error);
    }
    return SplitPoints{tracksFromLabels(std::get<std::vector<Label>>(parsed)), {}, {}};
}

}  // namespace snipwell
