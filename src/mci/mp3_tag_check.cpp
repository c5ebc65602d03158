#include "mci/mp3_tag_check.h"

#include "mci/block_file_reader.h"
#include "mci/mp3_tags.h"

namespace snipwell::mci {
namespace {

bool tooManyId3v2Tags(BlockFileReader& file) {
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
bool impossibleApeFooterBefore(BlockFileReader& file, std::uint64_t end) {
    const auto footer = apeFooterBefore(file, end);
    return footer && (footer->tagBytes < apeFooterBytes || footer->totalBytes() > end);
}

}  // namespace

std::optional<MciError> findMalformedTag(const std::string& path) {
    auto opened = BlockFileReader::open(path);
    if (std::holds_alternative<MciError>(opened)) return std::nullopt;
    auto& file = std::get<BlockFileReader>(opened);

    if (tooManyId3v2Tags(file)) return MciError::malformedTag;
    const std::uint64_t size = file.size();
    if (impossibleApeFooterBefore(file, size)) return MciError::malformedTag;
    if (size >= id3v1Bytes && startsWith(file.bytesAt(size - id3v1Bytes, 3), "TAG") &&
        impossibleApeFooterBefore(file, size - id3v1Bytes)) {
        return MciError::malformedTag;
    }
    return std::nullopt;
}

}  // namespace snipwell::mci
