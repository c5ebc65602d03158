#pragma once
// How a split plan reads on the terminal: the table a dry run prints.

#include <string>

#include "split/split_plan.h"

namespace snipwell {

// One heading line, then one line per track: number, begin, end, length
// (as times to the millisecond) and file name, with the track's notes, if
// any, on lines of their own below it.
std::string splitPlanTable(const SplitPlan& plan);

}  // namespace snipwell
