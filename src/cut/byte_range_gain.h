#pragma once
// Gain and fades for the byte-range cut: the frames that lie inside the
// copied bytes are walked in the source, their side information edited, and
// the edits laid over the copy as patches (patched_clip_target.h). A decoder
// plays the clip from its first whole frame, so the fades count from there.
//
// An info frame copied along (a clip from the very start) keeps its
// summary, but its peak and ReplayGain fields, which the gain makes false,
// are cleared.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "cut/patched_clip_target.h"
#include "mp3/gain_plan.h"
#include "mp3/mp3_error.h"

namespace snipwell {

struct ByteRangeGain {
    std::vector<BytePatch> patches;
    std::uint64_t clampedGranules = 0;
    std::uint64_t editedFrames = 0;
};

// `firstByte` is the 0-based source offset that becomes the clip's first
// byte, `sourceBytes` how many bytes of the source the clip holds. Refuses
// free-format streams and Layer I and II, as the exact cut does; a stream
// that changes part way is walked the way a decoder plays it.
mp3::Mp3Result<ByteRangeGain> planByteRangeGain(const std::string& source, std::uint64_t firstByte,
                                                std::uint64_t sourceBytes,
                                                const mp3::GainSettings& gain);

}  // namespace snipwell
