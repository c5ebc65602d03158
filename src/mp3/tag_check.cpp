#include "mp3/tag_check.h"

#include "mp3/tag_layout.h"

namespace snipwell::mp3 {
namespace {

bool tooManyId3v2Tags(BlockReader& file) {
    std::uint64_t at = 0;
    for (int count = 0; count <= maxStackedId3v2Tags; ++count) {
        const std::uint8_t* header = file.bytesAt(at, id3v2HeaderBytes);
        if (!startsWith(header, "ID3")) return false;
        at += id3v2TagBytes(header);
    }
    return true;
}

// An APEv2 footer at `end` (just before an ID3v1 tag, or at the very end)
// whose size is below the footer's own or past the start of the file.
bool impossibleApeFooterBefore(BlockReader& file, std::uint64_t end) {
    const auto footer = apeFooterBefore(file, end);
    return footer && (footer->tagBytes < apeFooterBytes || footer->totalBytes() > end);
}

}  // namespace

std::optional<Mp3Error> findMalformedTag(BlockReader& file) {
    if (tooManyId3v2Tags(file)) return Mp3Error{Mp3Fault::malformedTag, 0};
    const std::uint64_t size = file.size();
    if (impossibleApeFooterBefore(file, size)) {
        return Mp3Error{Mp3Fault::malformedTag, size - apeFooterBytes};
    }
    if (size >= id3v1Bytes && startsWith(file.bytesAt(size - id3v1Bytes, 3), "TAG") &&
        impossibleApeFooterBefore(file, size - id3v1Bytes)) {
        return Mp3Error{Mp3Fault::malformedTag, size - id3v1Bytes - apeFooterBytes};
    }
    return std::nullopt;
}

}  // namespace snipwell::mp3
