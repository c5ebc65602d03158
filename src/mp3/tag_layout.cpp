#include "mp3/tag_layout.h"

#include <algorithm>

#include "mp3/byte_order.h"

namespace snipwell::mp3 {
namespace {

void stepOverFrontTags(BlockReader& file, TagLayout& layout) {
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

// Whether the items of an APEv2 tag whose footer ends at `end` fill exactly
// the space the footer states: each item is a value size, flags, a key ended
// by a zero byte, and the value. A footer whose items run over, or stop
// short, has a size nobody wrote.
bool apeItemsFill(BlockReader& file, std::uint64_t end, const ApeFooter& footer) {
    constexpr std::uint64_t itemHeadBytes = 8;
    constexpr std::size_t longestKey = 255;
    const std::uint64_t itemsEnd = end - apeFooterBytes;
    std::uint64_t at = end - footer.tagBytes;
    for (std::uint32_t item = 0; item < footer.itemCount; ++item) {
        if (at + itemHeadBytes + 2 > itemsEnd) return false;
        const std::uint8_t* head = file.bytesAt(at, itemHeadBytes);
        if (head == nullptr) return false;
        const std::uint64_t valueBytes = readLittleEndian32(head);
        at += itemHeadBytes;
        const auto keySpan =
            static_cast<std::size_t>(std::min<std::uint64_t>(longestKey + 1, itemsEnd - at));
        const std::uint8_t* key = file.bytesAt(at, keySpan);
        if (key == nullptr) return false;
        const std::uint8_t* keyEnd = std::find(key, key + keySpan, std::uint8_t{0});
        if (keyEnd == key + keySpan) return false;
        at += static_cast<std::uint64_t>(keyEnd - key) + 1 + valueBytes;
        if (at > itemsEnd) return false;
    }
    return at == itemsEnd;
}

// The size of an APEv2 tag (with its header, if any) that ends the span, or
// 0 when none does or its size cannot be true.
std::uint64_t trailingApeTagBytes(BlockReader& file, const ByteSpan& span) {
    if (span.size() < apeFooterBytes) return 0;
    const auto footer = apeFooterBefore(file, span.end);
    if (!footer || footer->tagBytes < apeFooterBytes || footer->totalBytes() > span.size()) {
        return 0;
    }
    if (footer->hasHeader &&
        !startsWith(file.bytesAt(span.end - footer->totalBytes(), 8), "APETAGEX")) {
        return 0;
    }
    return apeItemsFill(file, span.end, *footer) ? footer->totalBytes() : 0;
}

// The size of a Lyrics3 v2 tag (with its 15-byte footer) that ends the span,
// or 0 when none does or its size cannot be true.
std::uint64_t trailingLyricsTagBytes(BlockReader& file, const ByteSpan& span) {
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

void stepOverEndTags(BlockReader& file, TagLayout& layout) {
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
    return id3v2HeaderBytes + readSyncsafe32(header + 6) + (hasFooter ? 10 : 0);
}

std::optional<ApeFooter> apeFooterBefore(BlockReader& file, std::uint64_t end) {
    if (end < apeFooterBytes) return std::nullopt;
    const std::uint8_t* footer = file.bytesAt(end - apeFooterBytes, apeFooterBytes);
    if (!startsWith(footer, "APETAGEX")) return std::nullopt;
    return ApeFooter{readLittleEndian32(footer + 12), readLittleEndian32(footer + 16),
                     (readLittleEndian32(footer + 20) & 0x80000000u) != 0};
}

TagLayout findTagLayout(BlockReader& file) {
    TagLayout layout;
    layout.audio = {0, file.size()};
    stepOverFrontTags(file, layout);
    stepOverEndTags(file, layout);
    return layout;
}

}  // namespace snipwell::mp3
