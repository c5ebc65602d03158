#pragma once
// The source of split points a split's arguments ask for: --cue, --labels,
// --at, --every, --silence or --chapters. Another source is one more case
// here.

#include <memory>

#include "cut/cut_arguments.h"
#include "split/source_levels.h"
#include "split/split_point_source.h"

namespace snipwell {

// nullptr when the arguments ask for no split. `levels` is the job's one
// scan of the source, which the silence source shares with the trim; it
// must outlive the source.
std::unique_ptr<SplitPointSource> chosenSplitSource(const CutArguments& arguments,
                                                    SourceLevels& levels);

}  // namespace snipwell
