#pragma once
// The byte arithmetic of a clip: the marks, in milliseconds, become byte
// positions of the source by one rate for the whole file (its size divided by
// the track's length). The copy reads 4097 bytes at a time and steps 4096, so
// consecutive chunks share one byte and the clip reaches up to 4096 bytes past
// the end mark's position.

#include <cstddef>
#include <cstdint>

namespace snipwell {

inline constexpr std::size_t kChunkBytes = 4097;
inline constexpr std::int32_t kChunkStep = 4096;

struct ClipRange {
    // The source's size when the range was measured. The copy reads no
    // further: bytes past it are zeros, and a source that has become shorter
    // than this fails the copy.
    std::int64_t sourceBytes = 0;
    std::int32_t bytesPerMs = 0;
    // 1-based source position of the first byte of the clip.
    std::int32_t beginOffset = 0;
    // The last source position at which a chunk may start.
    std::int32_t endOffset = 0;
    // Full scale of the progress bar: the selection's bytes plus one chunk.
    std::int32_t progressMax = 0;

    // How many 4097-byte chunks the copy writes, one every 4096 bytes.
    std::int64_t chunks() const;
    // The clip's length on disk: the chunks laid end to end, each sharing
    // its first byte with the last byte of the one before.
    std::int64_t clipBytes() const;
};

// Whether a selection can be saved: the begin before the end, and an end
// other than 0 (an end of 0 after the first test means a negative begin).
bool isSavableSelection(std::int32_t beginMs, std::int32_t endMs);

// The byte range of a clip. A begin mark of 0 starts at the file's first byte
// (position 1), so a clip from the very start keeps the tag or frame header
// that opens the file; any other begin mark starts at bytesPerMs × beginMs.
// Throws RuntimeError, with a reason a person can read, when the range cannot
// be addressed: a source of 2 GiB or more, a track length of 0, fewer bytes
// than milliseconds (a rate of 0), or positions beyond 32 bits.
ClipRange clipRangeFor(std::int64_t sourceBytes, std::int32_t lengthMs, std::int32_t beginMs,
                       std::int32_t endMs);

// The reason given for a source of 2 GiB or more.
inline constexpr const char* kSourceTooLarge =
    "the source file is 2 GiB or larger, beyond the byte positions a clip can be cut from";

// Whether a source of this size lies beyond the 32-bit byte positions.
constexpr bool isBeyondClipPositions(std::int64_t sourceBytes) { return sourceBytes > INT32_MAX; }

}  // namespace snipwell
