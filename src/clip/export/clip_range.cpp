#include "clip/export/clip_range.h"

#include "common/checked_math.h"
#include "common/runtime_error.h"

namespace snipwell {

std::int64_t ClipRange::chunks() const {
    return (std::int64_t{endOffset} - beginOffset) / kChunkStep + 1;
}

std::int64_t ClipRange::clipBytes() const {
    return (chunks() - 1) * kChunkStep + static_cast<std::int64_t>(kChunkBytes);
}

bool isSavableSelection(std::int32_t beginMs, std::int32_t endMs) {
    return beginMs < endMs && endMs != 0;
}

ClipRange clipRangeFor(std::int64_t sourceBytes, std::int32_t lengthMs, std::int32_t beginMs,
                       std::int32_t endMs) {
    if (isBeyondClipPositions(sourceBytes))
        throw RuntimeError(ErrorKind::Overflow, kSourceTooLarge);
    if (lengthMs == 0) {
        throw RuntimeError(ErrorKind::DivisionByZero, "the track's length is 0 ms");
    }
    ClipRange range;
    range.sourceBytes = sourceBytes;
    range.bytesPerMs =
        roundHalfEvenToInt32(static_cast<double>(sourceBytes) / static_cast<double>(lengthMs));
    if (range.bytesPerMs < 1) {
        // Position 0 and below do not exist; such a rate cannot place a clip.
        throw RuntimeError(ErrorKind::FileError,
                           "the file has fewer bytes than the track has milliseconds");
    }
    try {
        range.endOffset = checkedMul(range.bytesPerMs, endMs);
        range.beginOffset = beginMs == 0 ? 1 : checkedMul(range.bytesPerMs, beginMs);
        range.progressMax = checkedAdd(checkedSub(range.endOffset, range.beginOffset),
                                       static_cast<std::int32_t>(kChunkBytes));
    } catch (const RuntimeError&) {
        throw RuntimeError(ErrorKind::Overflow,
                           "the marks lie beyond the 32-bit byte positions of a clip");
    }
    return range;
}

}  // namespace snipwell
