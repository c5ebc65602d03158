#pragma once
// The source of split points a split's arguments ask for: --cue, --labels,
// --at or --every. Another source is one more case here.

#include <memory>

#include "cut/cut_arguments.h"
#include "split/split_point_source.h"

namespace snipwell {

// nullptr when the arguments ask for no split.
std::unique_ptr<SplitPointSource> chosenSplitSource(const CutArguments& arguments);

}  // namespace snipwell
