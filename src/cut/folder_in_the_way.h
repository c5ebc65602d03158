#pragma once
// A folder where a clip, a track or a sheet is to be saved. No file can
// take a folder's place, so asking to overwrite it (or --force) would only
// end in "Is a directory": it is refused before anything else.

#include <optional>
#include <string>

#include "cut/cut_failure.h"

namespace snipwell {

// CommandRefusalKind::folderInTheWay ("\"clips\" is a folder, not a file")
// when `path` leads to a folder (through links too); nullopt otherwise.
std::optional<CutFailure> folderInTheWay(const std::string& path);

}  // namespace snipwell
