#pragma once
// Copies an ID3v2 tag for a clip, with its TLEN frame (the track's length in
// milliseconds) stating the clip's length instead of the source's. Every
// other frame, the padding and the tag's flags are kept as they are.

#include <cstdint>
#include <functional>

#include "mci/block_file_reader.h"
#include "mci/mp3_tags.h"

namespace snipwell::exact {

using ByteSink = std::function<void(const std::uint8_t* bytes, std::size_t count)>;

// Writes the tag at `tag` in `file` to `sink`, in pieces of at most 64 KiB
// whatever the tag's size. A tag whose frames cannot be read safely (an
// unknown version, unsynchronisation or compression of the whole tag) is
// copied unchanged.
void copyId3v2Tag(mci::BlockFileReader& file, mci::ByteSpan tag, std::int64_t clipMs,
                  const ByteSink& sink);

}  // namespace snipwell::exact
