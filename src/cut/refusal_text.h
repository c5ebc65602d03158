#pragma once
// The one line snipwell-cut prints when it stops: every CutFailure, and the
// MP3 layer's, the exact cut's and the export's failures in it, put into
// words here and nowhere else.

#include <cstdio>
#include <string>

#include "clip/exact/exact_refusal.h"
#include "cut/cut_failure.h"
#include "mp3/mp3_error.h"

namespace snipwell {

// What a source without a single MPEG audio frame is, in every message.
inline constexpr const char* kNotAnMp3 = "not an MP3 file (no MPEG audio frames found)";

// For example "\"song.mp3\" is not an MP3 file (no MPEG audio frames found)".
std::string describeSourceError(const mp3::Mp3Error& error, const std::string& path);

// For example "the end mark 5:00.000 lies past the end of the track (4:12.345)".
std::string describeExactRefusal(const exact::ExactCutRefusal& refusal, const std::string& source);

// The reason for an exact refusal, worded as `wording` asks.
std::string describeExactTrackRefusal(const exact::ExactCutRefusal& refusal,
                                      const std::string& source, ExactRefusalWording wording);

// The line for a failure, without the program's name: "nothing was split:
// \"album.cue\", line 12: ...".
std::string refusalText(const CutFailure& failure);

// Writes "snipwell-cut: LINE" and a newline to `err`.
void tellCutFailure(std::FILE* err, const CutFailure& failure);

}  // namespace snipwell
