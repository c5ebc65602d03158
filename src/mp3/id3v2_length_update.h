#pragma once
// Copies an ID3v2 tag for a clip, with its TLEN frame (the track's length in
// milliseconds) stating the clip's length instead of the source's. Every
// other frame, the padding and the tag's flags are kept as they are.

#include <cstdint>
#include <functional>

#include <optional>

#include "mp3/block_reader.h"
#include "mp3/mp3_error.h"
#include "mp3/tag_layout.h"

namespace snipwell::mp3 {

using ByteSink = std::function<void(const std::uint8_t* bytes, std::size_t count)>;

// Writes the tag at `tag` in `file` to `sink`, in pieces of at most 64 KiB
// whatever the tag's size. A tag whose frames cannot be read safely (an
// unknown version, unsynchronisation or compression of the whole tag) is
// copied unchanged. The reader's failure when the tag cannot be read whole;
// whatever `sink` throws is passed on.
std::optional<Mp3Error> copyId3v2Tag(BlockReader& file, ByteSpan tag, std::int64_t clipMs,
                                     const ByteSink& sink);

}  // namespace snipwell::mp3
