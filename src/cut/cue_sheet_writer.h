#pragma once
// A cue sheet for the tracks a split made: the album's fields, then one FILE
// per track, each holding its one TRACK from 00:00:00. A player that reads
// it plays the tracks as one album; the FILE names lead from the sheet's
// folder to the tracks.

#include <string>

#include "cut/split_plan.h"

namespace snipwell {

// `trackPaths` are the tracks' paths as written; `sheetPath` is where the
// sheet goes. Quotes in titles become apostrophes: a cue sheet has no way
// to write a quote inside a quoted text.
std::string cueSheetForTracks(const SplitPlan& plan, const std::vector<std::string>& trackPaths,
                              const std::string& sheetPath);

}  // namespace snipwell
