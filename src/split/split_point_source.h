#pragma once
// Where the split points of a whole-file split come from. Each source (a cue
// sheet, a label file, points in time, a track length) is one file behind
// this interface: it turns what it was given, with the MP3 being split, into
// the tracks the planner lays on that MP3's samples. The planner knows no
// source, so another source is one more file, and one more line where the
// command picks it.

#include <string>
#include <variant>
#include <vector>

#include "split/sheet_error.h"
#include "split/split_plan.h"

namespace snipwell {

// The MP3 being split, as a source sees it.
struct SplitSubject {
    std::string path;     // as given: a source may read the file, or name it
    SourceLength length;  // as measured
};

// What a source gives the planner.
struct SplitPoints {
    std::vector<TrackSpec> tracks;
    AlbumInfo album;                    // what a sheet says of the whole album
    std::vector<std::string> warnings;  // each told once, before the plan
};

// The points, or why there are none: a sheet or label file refused at a
// line of it, or a refusal of the points themselves.
using SplitPointsOrRefusal = std::variant<SplitPoints, SheetError, SplitPlanError>;

class SplitPointSource {
public:
    virtual ~SplitPointSource() = default;

    // Throws RuntimeError(FileError) for a file the source cannot read.
    virtual SplitPointsOrRefusal pointsFor(const SplitSubject& subject) const = 0;
};

}  // namespace snipwell
