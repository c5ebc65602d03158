#pragma once
// The track's length for snipwell-cut, from the project's own walk over the
// MP3's frame headers: the same exact number the media service reports to
// the window, found without a decoder.

#include <cstdint>
#include <string>

namespace snipwell {

// Milliseconds, rounded. Throws RuntimeError(FileError) with a reason a person
// can act on: a missing or unreadable file, or one with no MPEG audio frames
// (a text file, an empty file, /dev/zero).
std::int32_t scannedTrackLengthMs(const std::string& path);

}  // namespace snipwell
