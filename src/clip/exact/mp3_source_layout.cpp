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

// The ID3v2 tags at the front, one after another; the audio starts after them.
// A tag that claims to run past the end leaves no audio at all.
void stepOverFrontTags(mci::BlockFileReader& file, Mp3SourceLayout& layout) {
    constexpr std::uint64_t id3v2HeaderBytes = 10;
    ByteSpan& span = layout.audio;
    while (true) {
        const std::uint8_t* header = file.bytesAt(span.begin, id3v2HeaderBytes);
        if (!startsWith(header, "ID3")) return;
        const bool hasFooter = (header[5] & 0x10u) != 0;
        const std::uint64_t tagEnd =
            span.begin + id3v2HeaderBytes + syncsafe32(header + 6) + (hasFooter ? 10 : 0);
        if (tagEnd >= span.end) {
            span.begin = span.end;
            return;
        }
        layout.id3v2Tags.push_back({span.begin, tagEnd});
        span.begin = tagEnd;
    }
}

// The size of an APEv2 tag (with its header, if any) that ends the span, or
// 0 when none does or its size cannot be true.
std::uint64_t trailingApeTagBytes(mci::BlockFileReader& file, const ByteSpan& span) {
    const std::uint64_t available = span.end - span.begin;
    if (available < 32) return 0;
    const std::uint8_t* footer = file.bytesAt(span.end - 32, 32);
    if (!startsWith(footer, "APETAGEX")) return 0;
    const std::uint64_t tagBytes = littleEndian32(footer + 12);
    const bool hasHeader = (littleEndian32(footer + 20) & 0x80000000u) != 0;
    const std::uint64_t total = tagBytes + (hasHeader ? 32 : 0);
    return total <= available && tagBytes >= 32 ? total : 0;
}

// The size of a Lyrics3 v2 tag (with its 15-byte footer) that ends the span,
// or 0 when none does or its size cannot be true.
std::uint64_t trailingLyricsTagBytes(mci::BlockFileReader& file, const ByteSpan& span) {
    const std::uint64_t available = span.end - span.begin;
    if (available < 15) return 0;
    const std::uint8_t* footer = file.bytesAt(span.end - 15, 15);
    if (!startsWith(footer + 6, "LYRICS200")) return 0;
    std::uint64_t size = 0;
    for (int i = 0; i < 6; ++i) {
        if (footer[i] < '0' || footer[i] > '9') return 0;
        size = size * 10 + static_cast<std::uint64_t>(footer[i] - '0');
    }
    return size + 15 <= available ? size + 15 : 0;
}

// The ID3v1, APEv2 and Lyrics3 tags at the end, in any order, until none is left.
void stepOverEndTags(mci::BlockFileReader& file, Mp3SourceLayout& layout) {
    ByteSpan& span = layout.audio;
    while (span.end > span.begin) {
        if (span.end - span.begin >= id3v1Bytes &&
            startsWith(file.bytesAt(span.end - id3v1Bytes, 3), "TAG")) {
            span.end -= id3v1Bytes;
            if (span.end + id3v1Bytes == file.size()) layout.id3v1Offset = span.end;
            continue;
        }
        std::uint64_t tagBytes = trailingApeTagBytes(file, span);
        if (tagBytes == 0) tagBytes = trailingLyricsTagBytes(file, span);
        if (tagBytes == 0) return;
        span.end -= tagBytes;
    }
}

}  // namespace

Mp3SourceLayout findSourceLayout(mci::BlockFileReader& file) {
    Mp3SourceLayout layout;
    layout.audio = {0, file.size()};
    stepOverFrontTags(file, layout);
    stepOverEndTags(file, layout);
    return layout;
}

}  // namespace snipwell::exact
