#pragma once
// Which of the source's frames one exact track copies, found from the marks
// and the source's first frame alone, before any frame is walked.

#include <cstdint>

#include "clip/exact/copy_start.h"
#include "clip/exact/source_stream.h"

namespace snipwell::exact {

// Frames before the first copied one whose payload may hold reservoir bytes:
// 511 bytes spread over the smallest frames any stream has.
inline constexpr std::uint64_t reservoirLookbackFrames = 16;

struct TrackPlan {
    // The track, in samples the source plays: [beginSample, endSample).
    std::uint64_t beginSample = 0;
    std::uint64_t endSample = 0;
    std::int64_t milliseconds = 0;  // what the track's tag states as its length
    // The same, in the decoder's output of the source's frames.
    std::uint64_t rawBegin = 0;
    std::uint64_t rawEnd = 0;
    // Frames by index among the audio frames (an info frame not counted).
    CopyStart copyStart;             // the first copied frame and the priming frames
    std::uint64_t lastCopied = 0;    // the frame of the last wanted sample
    std::uint64_t lookbackFrom = 0;  // the first frame whose payload may feed the reservoir

    std::uint64_t copiedFrames() const { return lastCopied - copyStart.firstFrame + 1; }
    std::uint64_t samples() const { return endSample - beginSample; }
};

// `beginSample` < `endSample`; `milliseconds` is the track's length as its tag
// states it.
TrackPlan planTrack(const SourceStream& stream, std::uint64_t beginSample, std::uint64_t endSample,
                    std::int64_t milliseconds);

}  // namespace snipwell::exact
