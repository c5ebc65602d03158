#pragma once
// Gain and fades for the byte-range cut: the frames that lie inside the
// copied bytes are found in the source, and their side information is
// edited as the copy passes them (patched_clip_target.h). A decoder
// plays the clip from its first whole frame, so the fades count from there.
//
// An info frame copied along (a clip from the very start) keeps its
// summary, but its peak and ReplayGain fields, which the gain makes false,
// are cleared.

#include <cstdint>
#include <string>
#include <variant>

#include "clip/export/patched_clip_target.h"
#include "mp3/gain_plan.h"
#include "mp3/mp3_error.h"

namespace snipwell {

// `firstByte` is the 0-based source offset that becomes the clip's first
// byte, `sourceBytes` how many bytes of the source the clip holds. Refuses
// free-format streams and Layer I and II, as the exact cut does; a stream
// that changes part way is walked the way a decoder plays it.
// The edits for PatchedClipTarget: which frames, the plan for them, and the
// info frame's cleared fields.
mp3::Mp3Result<ClipEdits> planByteRangeGain(const std::string& source, std::uint64_t firstByte,
                                            std::uint64_t sourceBytes,
                                            const mp3::GainSettings& gain);

}  // namespace snipwell
