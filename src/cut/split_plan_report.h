#pragma once
// How a split plan reads on the terminal: the table --dry-run prints, and
// the line each saved track gets.

#include <cstdint>
#include <string>

#include "cut/split_plan.h"

namespace snipwell {

// One heading line, then one line per track: number, begin, end, length
// (as times to the millisecond) and file name.
std::string splitPlanTable(const SplitPlan& plan);

// "Saved 03 Third.mp3: 0:49.347, 901 kB"
std::string savedTrackLine(const SplitPlan& plan, const PlannedTrack& track, std::uint64_t bytes);

}  // namespace snipwell
