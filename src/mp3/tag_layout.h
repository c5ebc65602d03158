#pragma once
// Where an MP3 file's audio lies between its tags: ID3v2 tags at the front,
// and APEv2, Lyrics3 and ID3v1 tags at the end, in any order. The length
// measure, the tag check and every cut step over tags the same way.

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "mp3/block_reader.h"

namespace snipwell::mp3 {

struct ByteSpan {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::uint64_t size() const { return end - begin; }
};

struct TagLayout {
    ByteSpan audio;
    std::vector<ByteSpan> id3v2Tags;           // in file order, all before the audio
    std::optional<std::uint64_t> id3v1Offset;  // the 128-byte tag at the very end
};

// A tag that claims to run past the end of the file leaves no audio at all.
// An APEv2 tag whose items do not fill the size its footer states is not
// believed: only what it can really hold is taken off, and the bytes in
// doubt stay with the audio, where a decoder would look for frames too.
TagLayout findTagLayout(BlockReader& file);

inline constexpr std::uint64_t id3v1Bytes = 128;
inline constexpr std::uint64_t id3v2HeaderBytes = 10;
inline constexpr std::uint64_t apeFooterBytes = 32;

inline bool startsWith(const std::uint8_t* bytes, const char* text) {
    return bytes != nullptr && std::memcmp(bytes, text, std::strlen(text)) == 0;
}

// The whole size of the ID3v2 tag whose 10-byte header this is: header,
// body and footer.
std::uint64_t id3v2TagBytes(const std::uint8_t* header);

// What an APEv2 footer says: the tag's size, counting the footer but not
// the header, how many items it holds, and whether a header comes first.
struct ApeFooter {
    std::uint64_t tagBytes = 0;
    std::uint32_t itemCount = 0;
    bool hasHeader = false;
    std::uint64_t totalBytes() const { return tagBytes + (hasHeader ? apeFooterBytes : 0); }
};

// The APEv2 footer that ends just before `end`, if one does.
std::optional<ApeFooter> apeFooterBefore(BlockReader& file, std::uint64_t end);

}  // namespace snipwell::mp3
