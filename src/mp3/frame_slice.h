#pragma once
// The source's own frames that hold a stretch marked in milliseconds: a clip
// copied from the first byte of the frame holding the begin mark's first
// sample to the last byte of the frame holding the end mark's last sample
// plays the marked stretch within one frame at either end, whatever tags
// stand in front of the audio and however unevenly a VBR stream spreads its
// bytes over time.
//
// Sample n of the track is the n-th sample a gapless decode plays, as the
// exact cut counts them: ⌊ms · rate / 1000⌋.

#include <cstdint>

#include "mp3/block_reader.h"
#include "mp3/mp3_error.h"
#include "mp3/tag_layout.h"

namespace snipwell::mp3 {

// Audio frames by number (an info frame not counted), both ends included.
struct FrameRun {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
};

// The frames that hold the begin mark's first sample and the end mark's last
// sample, in a stream of `samplesPerFrame` whose gapless decode drops `lead`
// samples first. `beginMs` ≥ 0 and `endMs` > `beginMs`; marks less than a
// sample apart give the one frame that holds the begin.
FrameRun framesHoldingMarks(std::int64_t beginMs, std::int64_t endMs, std::uint32_t sampleRate,
                            std::uint32_t samplesPerFrame, std::uint64_t lead);

// The bytes of those frames in the file: from the first byte of the first
// to the last byte of the last, never a tag or the info frame. An end past
// the stream stops at its last frame; a begin past it gives an empty span.
// The walk refuses what it cannot follow (noAudio, freeFormat) or fails as
// the reader does.
Mp3Result<ByteSpan> findFrameSlice(BlockReader& file, std::int64_t beginMs, std::int64_t endMs);

}  // namespace snipwell::mp3
