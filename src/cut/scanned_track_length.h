#pragma once
// The track's length for snipwell-cut, from the project's own walk over the
// MP3's frame headers: the same exact number the media service reports to
// the window, found without a decoder.

#include <cstdint>
#include <string>

#include "cut/cut_failure.h"

namespace snipwell {

// Milliseconds, rounded, or why there are none: a missing or unreadable
// file, one with no MPEG audio frames (a text file, an empty file,
// /dev/zero), or one longer than 596 hours.
CutResult<std::int32_t> scannedTrackLengthMs(const std::string& path);

}  // namespace snipwell
