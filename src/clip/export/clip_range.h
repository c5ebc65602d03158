#pragma once
// The byte arithmetic of a clip: the marks, in milliseconds, become byte
// positions of the source by one rate for the whole file (its size divided by
// the track's length). The copy reads 4097 bytes at a time and steps 4096, so
// consecutive chunks share one byte and the clip reaches up to 4096 bytes past
// the end mark's position.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace snipwell {

inline constexpr std::size_t kChunkBytes = 4097;
inline constexpr std::int32_t kChunkStep = 4096;

struct ClipRange {
    std::int32_t bytesPerMs = 0;
    // 1-based source position of the first byte of the clip.
    std::int32_t beginOffset = 0;
    // The last source position at which a chunk may start.
    std::int32_t endOffset = 0;
    // Full scale of the progress bar: the selection's bytes plus one chunk.
    std::int32_t progressMax = 0;
};

// The begin mark the export works from, or nullopt when the selection cannot
// be saved (begin not before end, or an end of 0). A begin of 0 becomes 1: the
// copy then starts at the rate's own byte, never at position 0.
std::optional<std::int32_t> exportBeginMs(std::int32_t beginMs, std::int32_t endMs);

// The byte range of a clip. Throws RuntimeError, with a reason a person can
// read, when the range cannot be addressed: a source of 2 GiB or more, a track
// length of 0, fewer bytes than milliseconds (a rate of 0), or positions
// beyond 32 bits.
ClipRange clipRangeFor(std::int64_t sourceBytes, std::int32_t lengthMs, std::int32_t beginMs,
                       std::int32_t endMs);

}  // namespace snipwell
