#pragma once
// Which bytes each level probe of a scan decodes and which of their samples
// it measures, from one walk over the file's frames, so that the windows of
// the scan lie on the samples a gapless decoder plays (the track's samples:
// the encoder delay and the decoder's delay left out at the start, the
// padding at the end).
//
// A scan of the whole file may be shared by two probes that run at once:
// the first measures from the track's first sample to a window boundary
// near the middle of the audio's bytes, the second from there to the end.
// The second starts decoding at the frame that holds that boundary and
// leaves out the samples before it, so the two halves' windows join into
// the windows one probe would measure.

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "level/trim_finder.h"
#include "level/window_levels.h"
#include "mp3/block_reader.h"
#include "mp3/mp3_error.h"

namespace snipwell::level {

// One probe's part: the frames that start in [offset, offset + length), and
// the samples of their decode that `windowing` picks.
struct ProbeShare {
    std::uint64_t offset = 0;  // where the first frame it decodes starts
    std::uint64_t length = 0;
    LevelWindowing windowing;

    friend bool operator==(const ProbeShare&, const ProbeShare&) = default;
};

struct LevelScanPlan {
    std::uint32_t sampleRate = 0;
    std::uint64_t firstSample = 0;  // the track sample the first window starts at
    std::uint64_t samples = 0;      // track samples measured, from firstSample on
    // In play order; every part but the last measures whole windows. None
    // when there are no samples to measure.
    std::vector<ProbeShare> shares;
};

struct LevelScanAsk {
    std::uint32_t windowSamples = 0;
    std::optional<SampleRange> range;  // track samples; the whole track when empty
    // Two parts for a whole track of at least two frames; a range is always
    // one part.
    bool shareBetweenTwo = true;
};

// noAudio, freeFormat or the reader's failure when the file has no stream
// to walk.
std::variant<LevelScanPlan, mp3::Mp3Error> planLevelScan(mp3::BlockReader& file,
                                                         const LevelScanAsk& ask);

}  // namespace snipwell::level
