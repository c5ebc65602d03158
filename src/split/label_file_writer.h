#pragma once
// A label file of a split: one stretch label a track,
// "START<TAB>END<TAB>TITLE" in seconds to the microsecond, as --labels reads
// them (label_file.h) and audio editors import them. Read back with the same
// source it makes the same tracks, sample for sample, gaps and all.

#include <string>

#include "split/split_plan.h"

namespace snipwell {

std::string labelsForSplit(const SplitPlan& plan);

}  // namespace snipwell
