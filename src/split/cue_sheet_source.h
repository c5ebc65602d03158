#pragma once
// Split points from a cue sheet: a track at each INDEX 01, with the titles,
// performers and album fields the sheet gives. A sheet whose FILE names
// another file than the MP3 being split is read all the same, with a warning:
// sheets travel apart from the files they were made for.

#include <string>
#include <vector>

#include "split/cue_sheet.h"
#include "split/split_point_source.h"

namespace snipwell {

class CueSheetSource : public SplitPointSource {
public:
    explicit CueSheetSource(std::string sheetPath) : sheetPath_(std::move(sheetPath)) {}

    SplitPointsOrRefusal pointsFor(const SplitSubject& subject) const override;

private:
    std::string sheetPath_;
};

// A sheet already read, as the planner takes it; refusals name the line of
// the track's INDEX 01.
std::vector<TrackSpec> tracksFromCueSheet(const CueSheet& sheet);
AlbumInfo albumOf(const CueSheet& sheet);

}  // namespace snipwell
