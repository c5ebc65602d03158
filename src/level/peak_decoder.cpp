#include "level/peak_decoder.h"

#include <algorithm>
#include <cmath>

namespace snipwell::level {

std::variant<Peak, DecodeFailure> decodePeak(int fd, const ByteStretch& stretch,
                                             const DecodeProgress& progress) {
    double peak = 0;
    std::uint64_t values = 0;
    int channels = 1;
    FrameWindow frames{stretch.offset};
    if (stretch.length) frames.readUntil = stretch.offset + *stretch.length;
    const auto failure = decodeFrames(
        fd, frames,
        [&](const DecodedFrame& frame) {
            for (std::size_t i = 0; i < frame.values; ++i) {
                peak = std::max(peak, static_cast<double>(std::fabs(frame.samples[i])));
            }
            values += frame.values;
            channels = frame.channels;
        },
        progress);
    if (failure) return *failure;
    return Peak{peak, values / static_cast<std::uint64_t>(channels)};
}

}  // namespace snipwell::level
