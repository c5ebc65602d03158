#include "clip/exact/mp3_source_layout.h"

#include <cstring>

namespace snipwell::exact {
namespace {

bool startsWith(const std::uint8_t* bytes, const char* tag) {
    return bytes != nullptr && std::memcmp(bytes, tag, std::strlen(tag)) == 0;
}

std::uint32_t syncsafe32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0] & 0x7Fu} << 21) | (std::uint32_t{bytes[1] & 0x7Fu} << 14) |
           (std::uint32_t{bytes[2] & 0x7Fu} << 7) | std::uint32_t{bytes[3] & 0x7Fu};
}

std::uint32_t littleEndian32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
           (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
}

}  // namespace

Mp3SourceLayout findSourceLayout(mci::BlockFileReader& file) {
    Mp3SourceLayout layout;
    ByteSpan& span = layout.audio;
    span = {0, file.size()};

    constexpr std::uint64_t id3v2HeaderBytes = 10;
    while (true) {
        const std::uint8_t* header = file.bytesAt(span.begin, id3v2HeaderBytes);
        if (!startsWith(header, "ID3")) break;
        const bool hasFooter = (header[5] & 0x10u) != 0;
        const std::uint64_t tagEnd =
            span.begin + id3v2HeaderBytes + syncsafe32(header + 6) + (hasFooter ? 10 : 0);
        if (tagEnd >= span.end) {
            span.begin = span.end;
            return layout;
        }
        layout.id3v2Tags.push_back({span.begin, tagEnd});
        span.begin = tagEnd;
    }

    bool steppedOverTag = true;
    while (steppedOverTag && span.end > span.begin) {
        steppedOverTag = false;
        const std::uint64_t available = span.end - span.begin;
        if (available >= id3v1Bytes && startsWith(file.bytesAt(span.end - id3v1Bytes, 3), "TAG")) {
            span.end -= id3v1Bytes;
            if (span.end + id3v1Bytes == file.size()) layout.id3v1Offset = span.end;
            steppedOverTag = true;
            continue;
        }
        if (available >= 32) {
            const std::uint8_t* footer = file.bytesAt(span.end - 32, 32);
            if (startsWith(footer, "APETAGEX")) {
                const std::uint64_t tagBytes = littleEndian32(footer + 12);
                const bool hasHeader = (littleEndian32(footer + 20) & 0x80000000u) != 0;
                const std::uint64_t total = tagBytes + (hasHeader ? 32 : 0);
                if (total <= available && tagBytes >= 32) {
                    span.end -= total;
                    steppedOverTag = true;
                    continue;
                }
            }
        }
        if (available >= 15) {
            const std::uint8_t* footer = file.bytesAt(span.end - 15, 15);
            if (startsWith(footer + 6, "LYRICS200")) {
                std::uint64_t size = 0;
                bool digits = true;
                for (int i = 0; i < 6; ++i) {
                    if (footer[i] < '0' || footer[i] > '9') digits = false;
                    size = size * 10 + static_cast<std::uint64_t>(footer[i] - '0');
                }
                if (digits && size + 15 <= available) {
                    span.end -= size + 15;
                    steppedOverTag = true;
                }
            }
        }
    }
    return layout;
}

}  // namespace snipwell::exact
