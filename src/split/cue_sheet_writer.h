#pragma once
// A cue sheet of a split: the album's fields, one FILE naming the source,
// and each track at its begin in the source, with what the sheet it came
// from said of it (performer, songwriter, ISRC, an INDEX 00 pregap). Read
// back with the same source, it makes the same tracks again; a player that
// reads it plays the source as the album it was split into.

#include <string>

#include "split/split_plan.h"

namespace snipwell {

// `sourcePath` is the source as given; `sheetPath` is where the sheet goes,
// so the FILE name leads from the sheet's folder to the source. Cue times
// count 75ths of a second: a begin between two of them is written at the
// nearer. Quotes in titles become apostrophes: a cue sheet has no way to
// write a quote inside a quoted text.
std::string cueSheetForSplit(const SplitPlan& plan, const std::string& sourcePath,
                             const std::string& sheetPath);

}  // namespace snipwell
