#pragma once
// What the exact cut learns about its source before the walk: where the
// audio lies between the tags, the first frame and what its info frame says,
// and how far into the frames' output the source's own gapless decode starts.

#include <cstdint>

#include "clip/exact/exact_refusal.h"
#include "mp3/block_reader.h"
#include "mp3/frame_walker.h"
#include "mp3/info_frame.h"
#include "mp3/tag_layout.h"

namespace snipwell::exact {

struct SourceStream {
    mp3::TagLayout layout;
    mp3::WalkedFrame first;
    mp3::InfoFrame info;
    std::uint32_t sampleRate = 0;
    std::uint32_t samplesPerFrame = 0;
    // Samples of the frames' output that the source's gapless decode skips
    // (its encoder delay and the decoder's own delay); 0 without gapless info.
    std::uint64_t lead = 0;

    // The samples the source plays, for a stream of `audioFrames` frames
    // after the info frame: what they put out less the gapless trim at both
    // ends.
    std::uint64_t playedSamples(std::uint64_t audioFrames) const;
};

// The stream and a walker positioned at its first frame.
struct OpenedStream {
    SourceStream stream;
    mp3::FrameWalker walker;
};

// Refuses what cannot be cut exactly: no MPEG audio, free-format frames,
// Layer I and II. Another stream later on is refused by the walk.
ExactResult<OpenedStream> openSourceStream(mp3::BlockReader& file);

}  // namespace snipwell::exact
