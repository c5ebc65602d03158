#include "mci/mp3_tag_check.h"

#include <cstring>

#include "mci/block_file_reader.h"

namespace snipwell::mci {
namespace {

bool startsWith(const std::uint8_t* bytes, const char* text) {
    return bytes != nullptr && std::memcmp(bytes, text, std::strlen(text)) == 0;
}

std::uint32_t syncsafe32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0] & 0x7Fu} << 21) | (std::uint32_t{bytes[1] & 0x7Fu} << 14) |
           (std::uint32_t{bytes[2] & 0x7Fu} << 7) | std::uint32_t{bytes[3] & 0x7Fu};
}

std::uint32_t littleEndian32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
           (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
}

bool tooManyId3v2Tags(BlockFileReader& file) {
    constexpr std::uint64_t headerBytes = 10;
    std::uint64_t at = 0;
    for (int count = 0; count <= maxStackedId3v2Tags; ++count) {
        const std::uint8_t* header = file.bytesAt(at, headerBytes);
        if (!startsWith(header, "ID3")) return false;
        const bool hasFooter = (header[5] & 0x10u) != 0;
        at += headerBytes + syncsafe32(header + 6) + (hasFooter ? 10 : 0);
    }
    return true;
}

// An APEv2 footer at `end` (just before an ID3v1 tag, or at the very end)
// whose size is below the footer's own or past the start of the file.
bool impossibleApeFooterBefore(BlockFileReader& file, std::uint64_t end) {
    constexpr std::uint64_t footerBytes = 32;
    if (end < footerBytes) return false;
    const std::uint8_t* footer = file.bytesAt(end - footerBytes, footerBytes);
    if (!startsWith(footer, "APETAGEX")) return false;
    const std::uint64_t tagBytes = littleEndian32(footer + 12);
    const bool hasHeader = (littleEndian32(footer + 20) & 0x80000000u) != 0;
    return tagBytes < footerBytes || tagBytes + (hasHeader ? footerBytes : 0) > end;
}

}  // namespace

std::optional<MciError> findMalformedTag(const std::string& path) {
    auto opened = BlockFileReader::open(path);
    if (std::holds_alternative<MciError>(opened)) return std::nullopt;
    auto& file = std::get<BlockFileReader>(opened);

    if (tooManyId3v2Tags(file)) return MciError::malformedTag;
    const std::uint64_t size = file.size();
    if (impossibleApeFooterBefore(file, size)) return MciError::malformedTag;
    constexpr std::uint64_t id3v1Bytes = 128;
    if (size >= id3v1Bytes && startsWith(file.bytesAt(size - id3v1Bytes, 3), "TAG") &&
        impossibleApeFooterBefore(file, size - id3v1Bytes)) {
        return MciError::malformedTag;
    }
    return std::nullopt;
}

}  // namespace snipwell::mci
