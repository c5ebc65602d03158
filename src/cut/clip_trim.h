#pragma once
// --trim for a single exact clip: the levels of the clip's own samples,
// measured by the level probe (it decodes, this side never does), and the
// samples the clip keeps once the silence at its ends is dropped. The clip
// then plays exactly those samples of the source, as a trimmed track of a
// split does.

#include <cstdint>
#include <functional>
#include <string>
#include <variant>

#include "cut/cut_failure.h"
#include "level/trim_finder.h"
#include "level/window_levels.h"
#include "split/trimmed_tracks.h"

namespace snipwell {

// The clip's marks as the exact cut counts them, ⌊ms · rate / 1000⌋, with the
// levels of those samples in short windows from the first of them.
struct ClipLevels {
    std::uint32_t sampleRate = 0;
    level::SampleRange marks;
    level::WindowLevels levels;
};

// The levels of the clip from BEGIN to END of `source`, or why they are not
// known (scanClipLevels in the program).
using ClipLevelLookup = std::function<CutResult<ClipLevels>(
    const std::string& source, std::int64_t beginMs, std::int64_t endMs)>;

// The exact cut's count of the source, then the level probe over the
// clip's samples. An END past the track is refused as the exact cut
// refuses it.
CutResult<ClipLevels> scanClipLevels(const std::string& source, std::int64_t beginMs,
                                     std::int64_t endMs);

// The samples of the source the clip keeps; the marks themselves when the
// clip is silence throughout.
struct KeptClip {
    level::SampleRange samples;
    bool silentThroughout = false;
};
KeptClip keptSamplesOf(const ClipLevels& clip, const TrimChoice& choice);

}  // namespace snipwell
