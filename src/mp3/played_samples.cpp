#include "mp3/played_samples.h"

#include <algorithm>

#include "mp3/length.h"

namespace snipwell::mp3 {

std::uint64_t playedSamples(const AudioStream& stream, std::uint64_t audioFrames) {
    const std::uint64_t raw = audioFrames * stream.samplesPerFrame;
    if (!stream.info.hasGaplessInfo) return raw;
    const bool cutShort =
        stream.info.declaredFrames != 0 && audioFrames < stream.info.declaredFrames;
    std::uint64_t playedEnd = raw;
    if (!cutShort && stream.info.endPadding >= decoderDelaySamples) {
        playedEnd -= std::min<std::uint64_t>(raw, stream.info.endPadding - decoderDelaySamples);
    }
    return playedEnd > stream.lead ? playedEnd - stream.lead : 0;
}

}  // namespace snipwell::mp3
