#include "mci/mp3_tags.h"

namespace snipwell::mci {
namespace {

std::uint32_t syncsafe32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0] & 0x7Fu} << 21) | (std::uint32_t{bytes[1] & 0x7Fu} << 14) |
           (std::uint32_t{bytes[2] & 0x7Fu} << 7) | std::uint32_t{bytes[3] & 0x7Fu};
}

void stepOverFrontTags(BlockFileReader& file, Mp3TagLayout& layout) {
    ByteSpan& span = layout.audio;
    while (true) {
        const std::uint8_t* header = file.bytesAt(span.begin, id3v2HeaderBytes);
        if (!startsWith(header, "ID3")) return;
        const std::uint64_t tagEnd = span.begin + id3v2TagBytes(header);
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
std::uint64_t trailingApeTagBytes(BlockFileReader& file, const ByteSpan& span) {
    if (span.size() < apeFooterBytes) return 0;
    const auto footer = apeFooterBefore(file, span.end);
    if (!footer || footer->tagBytes < apeFooterBytes) return 0;
    return footer->totalBytes() <= span.size() ? footer->totalBytes() : 0;
}

// The size of a Lyrics3 v2 tag (with its 15-byte footer) that ends the span,
// or 0 when none does or its size cannot be true.
std::uint64_t trailingLyricsTagBytes(BlockFileReader& file, const ByteSpan& span) {
    constexpr std::uint64_t footerBytes = 15;
    if (span.size() < footerBytes) return 0;
    const std::uint8_t* footer = file.bytesAt(span.end - footerBytes, footerBytes);
    if (footer == nullptr || !startsWith(footer + 6, "LYRICS200")) return 0;
    std::uint64_t size = 0;
    for (int i = 0; i < 6; ++i) {
        if (footer[i] < '0' || footer[i] > '9') return 0;
        size = size * 10 + static_cast<std::uint64_t>(footer[i] - '0');
    }
    return size + footerBytes <= span.size() ? size + footerBytes : 0;
}

void stepOverEndTags(BlockFileReader& file, Mp3TagLayout& layout) {
    ByteSpan& span = layout.audio;
    while (span.end > span.begin) {
        if (span.size() >= id3v1Bytes &&
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

std::uint64_t id3v2TagBytes(const std::uint8_t* header) {
    const bool hasFooter = (header[5] & 0x10u) != 0;
    return id3v2HeaderBytes + syncsafe32(header + 6) + (hasFooter ? 10 : 0);
}

std::optional<ApeFooter> apeFooterBefore(BlockFileReader& file, std::uint64_t end) {
    if (end < apeFooterBytes) return std::nullopt;
    const std::uint8_t* footer = file.bytesAt(end - apeFooterBytes, apeFooterBytes);
    if (!startsWith(footer, "APETAGEX")) return std::nullopt;
    return ApeFooter{littleEndian32(footer + 12), (littleEndian32(footer + 20) & 0x80000000u) != 0};
}

Mp3TagLayout findTagLayout(BlockFileReader& file) {
    Mp3TagLayout layout;
    layout.audio = {0, file.size()};
    stepOverFrontTags(file, layout);
    stepOverEndTags(file, layout);
    return layout;
}

}  // namespace snipwell::mci
