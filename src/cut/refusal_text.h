#pragma once
// The one line snipwell-cut prints for a source it cannot read or an exact
// cut it refuses: the MP3 layer's and the exact cut's failures put into
// words, here and nowhere else.

#include <string>

#include "clip/exact/exact_refusal.h"
#include "mp3/mp3_error.h"

namespace snipwell {

// What a source without a single MPEG audio frame is, in every message.
inline constexpr const char* kNotAnMp3 = "not an MP3 file (no MPEG audio frames found)";

// For example "\"song.mp3\" is not an MP3 file (no MPEG audio frames found)".
std::string describeSourceError(const mp3::Mp3Error& error, const std::string& path);

// For example "the end mark 5:00.000 lies past the end of the track (4:12.345)".
std::string describeExactRefusal(const exact::ExactCutRefusal& refusal, const std::string& source);

}  // namespace snipwell
