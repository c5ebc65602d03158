#include "clip/exact/copy_start.h"

#include <numeric>

#include "mp3/info_frame_writer.h"
#include "mp3/length.h"

namespace snipwell::exact {
namespace {

// libmpg123 decodes this many frames before the first one it plays.
constexpr std::uint64_t framesDecodedAhead = 4;

// The first frame a gapless decode by libmpg123 decodes, when it starts
// playing `lead` samples into the frames' output.
std::uint64_t firstDecodedFrame(std::uint64_t lead, std::uint64_t spf) {
    const std::uint64_t firstPlayed = lead / spf;
    return firstPlayed > framesDecodedAhead ? firstPlayed - framesDecodedAhead : 0;
}

}  // namespace

CopyStart chooseCopyStart(std::uint64_t rawBegin, std::uint32_t samplesPerFrame,
                          std::uint64_t sourceLead, bool mono) {
    const std::uint64_t spf = samplesPerFrame;
    const std::uint64_t settled =
        rawBegin >= settlingSamples ? (rawBegin - settlingSamples) / spf : 0;
    const std::uint64_t sourceStart = firstDecodedFrame(sourceLead, spf);
    // Frames after which the synthesis steps agree again.
    const std::uint64_t stepsToAgree = mono ? 8 : 4;
    const std::uint64_t period = stepsToAgree / std::gcd(stepsToAgree, spf / 32);

    for (std::uint64_t earlier = 0; earlier < period && earlier <= settled; ++earlier) {
        const std::uint64_t firstFrame = settled - earlier;
        // The very start of the stream needs no priming frame, unless the
        // delay would be negative or the frame reaches into the reservoir.
        for (std::uint32_t priming = firstFrame == 0 ? 0 : 1; priming <= 4; ++priming) {
            const CopyStart start{firstFrame, priming};
            const std::uint64_t clipBegin = clipRawBegin(start, rawBegin, samplesPerFrame);
            if (clipBegin < mp3::decoderDelaySamples ||
                clipBegin - mp3::decoderDelaySamples > mp3::maxGaplessField) {
                continue;
            }
            // Copied frame X is decoded after X - sourceStart frames in the
            // source and after X - firstFrame + priming - clipStart in the
            // clip; the two counts must agree modulo the period. (Unsigned
            // arithmetic wraps by a multiple of the period, a power of two.)
            const std::uint64_t clipStart = firstDecodedFrame(clipBegin, spf);
            if ((sourceStart + priming - firstFrame - clipStart) % period == 0) return start;
        }
    }
    return CopyStart{settled, 1};
}

}  // namespace snipwell::exact
