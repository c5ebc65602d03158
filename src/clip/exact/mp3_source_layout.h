#pragma once
// Where a source file's audio lies between its tags: ID3v2 tags at the front,
// APE, Lyrics3 and ID3v1 tags at the back.

#include <cstdint>
#include <optional>
#include <vector>

#include "mci/block_file_reader.h"

namespace snipwell::exact {

struct ByteSpan {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::uint64_t size() const { return end - begin; }
};

struct Mp3SourceLayout {
    ByteSpan audio;
    std::vector<ByteSpan> id3v2Tags;           // in file order, all before the audio
    std::optional<std::uint64_t> id3v1Offset;  // the 128-byte tag at the very end
};

Mp3SourceLayout findSourceLayout(mci::BlockFileReader& file);

inline constexpr std::uint64_t id3v1Bytes = 128;

}  // namespace snipwell::exact
