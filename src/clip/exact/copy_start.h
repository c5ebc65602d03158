#pragma once
// Where the clip's copy of the source starts: which source frame comes first
// and how many silent priming frames go before it.
//
// The first copied frame lies at least 1,152 samples before the begin, so the
// decoder has settled by then. Within that, the choice keeps libmpg123 (which
// the project and GStreamer's decoder use) decoding the copied frames exactly
// as it decodes them in the source. Measured: its output differs in the last
// bit now and then (about 1 sample in 2,000) unless the number of 32-sample
// synthesis steps it has taken before a frame agrees between the two streams
// modulo 4 for stereo and modulo 8 for mono: for MPEG-1 (36 steps a frame)
// stereo always, mono every second frame; for MPEG-2 and 2.5 (18 steps)
// stereo every second, mono every fourth frame. A gapless decode by
// libmpg123 takes only the four frames before the first frame it plays
// through synthesis; earlier frames only feed the bit reservoir. So the
// frames it decodes before the first copied frame are counted that way in the
// clip and in the source, and the copy starts up to three frames earlier, or
// takes up to four priming frames, to make the counts agree. Where no layout
// within the 12-bit delay does (mono MPEG-2 and 2.5 in half the cases; the
// four frames libmpg123 synthesises ahead leave only two counts to choose
// from), the nearest layout is taken: one frame off costs about 1 sample in
// 3,000 or 1,400 off by one, two frames off about 1 in 1,000. One frame later
// than the 1,152-sample margin, down to the 1,056 samples the decoder needs,
// is tried as well, for positions where that is nearer.

#include <cstdint>

namespace snipwell::exact {

// Decoded samples that must precede the begin mark in the clip: one granule
// whose overlap is missing, plus the synthesis filter's 480 samples of
// memory (1,056), rounded up to a whole MPEG-1 frame for margin.
inline constexpr std::uint64_t settlingSamples = 1152;
// The least that still settles it, used only where it buys a better layout.
inline constexpr std::uint64_t minimumSettlingSamples = 1056;

struct CopyStart {
    std::uint64_t firstFrame = 0;     // index of the first copied source frame
    std::uint32_t primingFrames = 0;  // 0 to 4
};

// `rawBegin`: the decoder output position of the first wanted sample in the
// source; `sourceLead`: the samples the source's own gapless decode skips.
CopyStart chooseCopyStart(std::uint64_t rawBegin, std::uint32_t samplesPerFrame,
                          std::uint64_t sourceLead, bool mono);

// The decoder output position of the first wanted sample in the clip.
inline std::uint64_t clipRawBegin(const CopyStart& start, std::uint64_t rawBegin,
                                  std::uint32_t samplesPerFrame) {
    return std::uint64_t{start.primingFrames} * samplesPerFrame + rawBegin -
           start.firstFrame * samplesPerFrame;
}

}  // namespace snipwell::exact
