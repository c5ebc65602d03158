#pragma once
// Where the clip's copy of the source starts: which source frame comes first
// and how many silent priming frames go before it.
//
// The first copied frame lies at least 1,152 samples before the begin, so the
// decoder has settled by then. Within that, the choice keeps libmpg123 (which
// the project and GStreamer's decoder use) decoding the copied frames exactly
// as it decodes them in the source. Measured: its output differs in the last
// bit now and then (about 1 sample in 2,000) unless it has decoded an even
// number of frames before a frame in both streams alike, for MPEG-1 and 2,
// mono and stereo. A gapless decode by libmpg123 runs only the four frames
// before the first frame it plays through the decoder; earlier frames only
// feed the bit reservoir. So the frames it decodes before the first copied
// frame are counted that way in the clip and in the source, and the copy
// starts one frame earlier, or takes two priming frames instead of one, when
// their counts differ by an odd number.

#include <cstdint>

namespace snipwell::exact {

struct CopyStart {
    std::uint64_t firstFrame = 0;     // index of the first copied source frame
    std::uint32_t primingFrames = 0;  // 0, 1 or 2
};

// `rawBegin`: the decoder output position of the first wanted sample in the
// source; `sourceLead`: the samples the source's own gapless decode skips.
CopyStart chooseCopyStart(std::uint64_t rawBegin, std::uint32_t samplesPerFrame,
                          std::uint64_t sourceLead);

// The decoder output position of the first wanted sample in the clip.
inline std::uint64_t clipRawBegin(const CopyStart& start, std::uint64_t rawBegin,
                                  std::uint32_t samplesPerFrame) {
    return std::uint64_t{start.primingFrames} * samplesPerFrame + rawBegin -
           start.firstFrame * samplesPerFrame;
}

}  // namespace snipwell::exact
