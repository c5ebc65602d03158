#include "clip/export/clip_range.h"

#include <algorithm>

#include "clip/export/export_refusal.h"

namespace snipwell {

std::int64_t ClipRange::chunks() const {
    // Every chunk but the first adds 4096 bytes after the one it shares.
    return std::max<std::int64_t>(1, (clipBytes() - 1 + kChunkStep - 1) / kChunkStep);
}

bool isSavableSelection(std::int32_t beginMs, std::int32_t endMs) {
    return beginMs < endMs && endMs != 0;
}

ClipRange clipRangeOfSpan(std::int64_t sourceBytes, std::uint64_t begin, std::uint64_t end) {
    if (isBeyondClipPositions(sourceBytes) || end > static_cast<std::uint64_t>(INT32_MAX)) {
        throw ExportRefusal(ExportRefusalKind::sourceTooLarge);
    }
    if (begin >= end) throw ExportRefusal(ExportRefusalKind::beginPastAudio);
    ClipRange range;
    range.sourceBytes = sourceBytes;
    range.beginOffset = static_cast<std::int32_t>(begin + 1);
    range.endOffset = static_cast<std::int32_t>(end);
    // At most INT32_MAX - 1 + 4097: the sum is taken in 64 bits and capped,
    // as a bar of that size shows no difference.
    range.progressMax = static_cast<std::int32_t>(std::min<std::int64_t>(
        INT32_MAX, std::int64_t{range.endOffset} - range.beginOffset + std::int64_t{kChunkBytes}));
    return range;
}

ClipRange clipRangeByRate(std::int64_t sourceBytes, std::uint64_t audioBegin,
                          std::uint64_t audioEnd, std::int32_t lengthMs, std::int32_t beginMs,
                          std::int32_t endMs) {
    if (isBeyondClipPositions(sourceBytes)) throw ExportRefusal(ExportRefusalKind::sourceTooLarge);
    if (lengthMs <= 0) throw ExportRefusal(ExportRefusalKind::noTrackLength);
    const std::uint64_t audioBytes = audioEnd > audioBegin ? audioEnd - audioBegin : 0;
    // Below 2^31 bytes times below 2^31 ms: no overflow in 64 bits.
    const auto byteAt = [&](std::int32_t ms) {
        const auto clamped = static_cast<std::uint64_t>(std::clamp(ms, 0, lengthMs));
        return audioBegin + audioBytes * clamped / static_cast<std::uint64_t>(lengthMs);
    };
    return clipRangeOfSpan(sourceBytes, byteAt(beginMs), byteAt(endMs));
}

}  // namespace snipwell
