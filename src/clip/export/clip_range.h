#pragma once
// The byte arithmetic of a clip: which bytes of the source it holds, and how
// the copy walks them. The copy reads 4097 bytes at a time and steps 4096,
// so consecutive chunks share one byte; the last chunk stops at the clip's
// last byte.

#include <cstddef>
#include <cstdint>

namespace snipwell {

inline constexpr std::size_t kChunkBytes = 4097;
inline constexpr std::int32_t kChunkStep = 4096;

struct ClipRange {
    // The source's size when the range was measured. The clip lies inside
    // it; a source that has become shorter than this fails the copy.
    std::int64_t sourceBytes = 0;
    // 1-based source positions of the clip's first and last byte.
    std::int32_t beginOffset = 0;
    std::int32_t endOffset = 0;
    // Full scale of the progress bar: the clip's bytes plus one chunk, so the
    // bar, which moves 4096 a chunk, never runs past it.
    std::int32_t progressMax = 0;

    // How many chunks the copy writes, one every 4096 bytes.
    std::int64_t chunks() const;
    std::int64_t clipBytes() const { return std::int64_t{endOffset} - beginOffset + 1; }
};

// Whether a selection can be saved: the begin before the end, and an end
// other than 0 (an end of 0 after the first test means a negative begin).
bool isSavableSelection(std::int32_t beginMs, std::int32_t endMs);

// The range of the source bytes [begin, end), counted from 0. Throws
// ExportRefusal for an empty span or one beyond the 32-bit positions.
ClipRange clipRangeOfSpan(std::int64_t sourceBytes, std::uint64_t begin, std::uint64_t end);

// For a source whose frames cannot be followed: the marks placed by one
// constant rate over the audio bytes [audioBegin, audioEnd) between the
// tags, with the track's length spread evenly over them. Throws
// ExportRefusal for a track length of 0 or a begin at or past the end of the
// audio.
ClipRange clipRangeByRate(std::int64_t sourceBytes, std::uint64_t audioBegin,
                          std::uint64_t audioEnd, std::int32_t lengthMs, std::int32_t beginMs,
                          std::int32_t endMs);

// Whether a source of this size lies beyond the 32-bit byte positions.
constexpr bool isBeyondClipPositions(std::int64_t sourceBytes) { return sourceBytes > INT32_MAX; }

}  // namespace snipwell
