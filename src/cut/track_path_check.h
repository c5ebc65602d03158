#pragma once
// Whether a track can be saved under its path at all: a name no longer than
// the folder's file system holds, and a path (with the hidden name the track
// is written under first) no longer than the system takes. Checked for every
// track before anything is written, so a split never finds out at track 22.

#include <optional>
#include <string>

#include "cut/cut_failure.h"

namespace snipwell {

// Why track `number`, named `name`, cannot be saved in `folder` (which need
// not exist yet), or nullopt when it can.
std::optional<CutFailure> trackPathProblem(const std::string& folder, const std::string& name,
                                           int number);

}  // namespace snipwell
