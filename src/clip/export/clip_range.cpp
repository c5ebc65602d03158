#include "clip_range.h"

#include <limits>

#include "common/checked_math.h"
#include "common/runtime_error.h"

namespace snipwell {

std::optional<std::int32_t> exportBeginMs(std::int32_t beginMs, std::int32_t endMs) {
    if (!(beginMs < endMs)) return std::nullopt;
    if (beginMs == 0) beginMs = 1;
    // Reached only with a negative begin mark.
    if (endMs == 0) return std::nullopt;
    return beginMs;
}

ClipRange clipRangeFor(std::int64_t sourceBytes, std::int32_t lengthMs, std::int32_t beginMs,
                       std::int32_t endMs) {
    if (sourceBytes > std::numeric_limits<std::int32_t>::max()) {
        throw RuntimeError(ErrorKind::Overflow,
                           "the source file is 2 GiB or larger, beyond the byte positions a clip "
                           "can be cut from");
    }
    if (lengthMs == 0) {
        throw RuntimeError(ErrorKind::DivisionByZero, "the track's length is 0 ms");
    }
    ClipRange range;
    range.bytesPerMs =
        roundHalfEvenToInt32(static_cast<double>(sourceBytes) / static_cast<double>(lengthMs));
    if (range.bytesPerMs < 1) {
        // Position 0 and below do not exist; such a rate cannot place a clip.
        throw RuntimeError(ErrorKind::FileError,
                           "the file has fewer bytes than the track has milliseconds");
    }
    try {
        const std::int32_t endBytes = checkedMul(range.bytesPerMs, endMs);
        const std::int32_t beginBytes = checkedMul(range.bytesPerMs, beginMs);
        range.progressMax = checkedAdd(checkedSub(endBytes, beginBytes),
                                       static_cast<std::int32_t>(kChunkBytes));
        range.beginOffset = beginBytes;
        range.endOffset = endBytes;
    } catch (const RuntimeError&) {
        throw RuntimeError(ErrorKind::Overflow,
                           "the marks lie beyond the 32-bit byte positions of a clip");
    }
    return range;
}

}  // namespace snipwell
