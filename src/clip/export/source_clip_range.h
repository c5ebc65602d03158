#pragma once
// Where the marks lie in an MP3 file: the clip runs from the first byte of
// the frame that holds the begin mark to the last byte of the frame that
// holds the end mark, found by walking the file's own frames. A file whose
// frames cannot be followed (free format, no MPEG frames we can walk) falls
// back to one constant rate over its audio bytes, between the tags.

#include <cstdint>
#include <string>

#include "clip/export/clip_range.h"

namespace snipwell {

// How a clip's bytes were found.
enum class ClipRangeRule : std::uint8_t { frames, rate };

struct SourceClipRange {
    ClipRange range;
    ClipRangeRule rule = ClipRangeRule::frames;
};

// `sourceBytes` is the source's size as the copy will read it; `lengthMs`
// is used by the fallback alone. Throws ExportRefusal for a source of 2 GiB
// or more, one that cannot be read, a begin past the end of the audio, or a
// track length of 0 for the fallback.
SourceClipRange clipRangeInSource(const std::string& sourcePath, std::int64_t sourceBytes,
                                  std::int32_t lengthMs, std::int32_t beginMs, std::int32_t endMs);

}  // namespace snipwell
