#include "clip/exact/copy_start.h"

#include <numeric>
#include <optional>

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

// How far a layout's synthesis steps are from agreeing, as a rank: 0 when
// they agree, higher when further off. Measured with libmpg123 on mono
// MPEG-2.5: a copied frame decoded one frame later than in the source
// (2 steps of 8 later) differs in about 1 sample in 3,000, one frame earlier
// in about 1 in 1,400, two frames off in about 1 in 1,000.
unsigned disagreement(std::uint64_t framesOff, std::uint64_t period) {
    const std::uint64_t off = framesOff % period;
    if (off == 0) return 0;
    if (off == 1) return 1;
    return off == period - 1 ? 2 : 3;
}

// What every candidate layout is measured against.
struct LayoutSearch {
    std::uint64_t rawBegin;
    std::uint32_t samplesPerFrame;
    std::uint64_t sourceStart;  // the first frame the source's decode synthesises
    std::uint64_t period;       // frames after which the synthesis steps agree again

    // The layout's rank (0 best), or nullopt when its delay does not fit.
    // Copied frame X is decoded after X - sourceStart frames in the source
    // and after X - firstFrame + priming - clipStart in the clip; the two
    // counts should agree modulo the period. (Unsigned arithmetic wraps by
    // a multiple of the period, a power of two.) Of two layouts equally far
    // off, the one with the margin of settlingSamples ranks first.
    std::optional<unsigned> rankOf(const CopyStart& start, bool atTheMinimum) const {
        const std::uint64_t clipBegin = clipRawBegin(start, rawBegin, samplesPerFrame);
        if (clipBegin < mp3::decoderDelaySamples ||
            clipBegin - mp3::decoderDelaySamples > mp3::maxGaplessField) {
            return std::nullopt;
        }
        const std::uint64_t clipStart = firstDecodedFrame(clipBegin, samplesPerFrame);
        const std::uint64_t framesOff =
            sourceStart + start.primingFrames - start.firstFrame - clipStart;
        return 2 * disagreement(framesOff, period) + (atTheMinimum ? 1u : 0u);
    }
};

}  // namespace

CopyStart chooseCopyStart(std::uint64_t rawBegin, std::uint32_t samplesPerFrame,
                          std::uint64_t sourceLead, bool mono) {
    const std::uint64_t spf = samplesPerFrame;
    const std::uint64_t settled =
        rawBegin >= settlingSamples ? (rawBegin - settlingSamples) / spf : 0;
    // One frame later still leaves the decoder the one granule and filter
    // memory it needs, where the begin lies late enough in its frame.
    const std::uint64_t latest =
        rawBegin >= minimumSettlingSamples ? (rawBegin - minimumSettlingSamples) / spf : 0;
    const std::uint64_t stepsToAgree = mono ? 8 : 4;
    const LayoutSearch search{rawBegin, samplesPerFrame, firstDecodedFrame(sourceLead, spf),
                              stepsToAgree / std::gcd(stepsToAgree, spf / 32)};

    CopyStart best{settled, 1};
    unsigned bestRank = ~0u;
    // The starts with the margin of settlingSamples, then the latest start.
    for (std::uint64_t candidate = 0; candidate <= search.period && candidate <= latest;
         ++candidate) {
        const bool atTheMinimum = candidate == search.period;
        if (atTheMinimum ? latest == settled : candidate > settled) break;
        const std::uint64_t firstFrame = atTheMinimum ? latest : settled - candidate;
        // The very start of the stream needs no priming frame, unless the
        // delay would be negative or the frame reaches into the reservoir.
        for (std::uint32_t priming = firstFrame == 0 ? 0 : 1; priming <= 4; ++priming) {
            const CopyStart start{firstFrame, priming};
            const auto rank = search.rankOf(start, atTheMinimum);
            if (rank && *rank == 0) return start;
            if (rank && *rank < bestRank) {
                best = start;
                bestRank = *rank;
            }
        }
    }
    return best;
}

}  // namespace snipwell::exact
