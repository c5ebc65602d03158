#include "clip/exact/id3v2_length_update.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace snipwell::exact {
namespace {

constexpr std::uint64_t tagHeaderBytes = 10;
constexpr std::uint32_t largestSyncsafe = (1u << 28) - 1;

std::uint32_t syncsafe32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0] & 0x7Fu} << 21) | (std::uint32_t{bytes[1] & 0x7Fu} << 14) |
           (std::uint32_t{bytes[2] & 0x7Fu} << 7) | std::uint32_t{bytes[3] & 0x7Fu};
}

void putSyncsafe32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>((value >> 21) & 0x7Fu);
    at[1] = static_cast<std::uint8_t>((value >> 14) & 0x7Fu);
    at[2] = static_cast<std::uint8_t>((value >> 7) & 0x7Fu);
    at[3] = static_cast<std::uint8_t>(value & 0x7Fu);
}

std::uint32_t bigEndian(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
    return value;
}

void putBigEndian(std::uint8_t* at, std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        at[i] = static_cast<std::uint8_t>(value);
        value >>= 8;
    }
}

void copyRange(mci::BlockFileReader& file, std::uint64_t from, std::uint64_t to,
               const ByteSink& sink) {
    while (from < to) {
        const std::size_t count = static_cast<std::size_t>(
            std::min<std::uint64_t>(to - from, mci::BlockFileReader::maxSpan));
        const std::uint8_t* bytes = file.bytesAt(from, count);
        if (bytes == nullptr) throw std::runtime_error("cannot read the source's ID3v2 tag");
        sink(bytes, count);
        from += count;
    }
}

// The TLEN frame's place in the tag, if it has one where we can find it.
std::optional<mci::ByteSpan> findLengthFrame(mci::BlockFileReader& file, int major,
                                             std::uint64_t framesBegin, std::uint64_t framesEnd) {
    const std::uint64_t headerBytes = major == 2 ? 6 : 10;
    const char* id = major == 2 ? "TLE" : "TLEN";
    std::uint64_t at = framesBegin;
    while (at + headerBytes <= framesEnd) {
        const std::uint8_t* header = file.bytesAt(at, static_cast<std::size_t>(headerBytes));
        if (header == nullptr || header[0] == 0) return std::nullopt;  // padding starts
        const std::uint32_t size = major == 2   ? bigEndian(header + 3, 3)
                                   : major == 3 ? bigEndian(header + 4, 4)
                                                : syncsafe32(header + 4);
        const std::uint64_t end = at + headerBytes + size;
        if (end > framesEnd) return std::nullopt;
        if (std::memcmp(header, id, std::strlen(id)) == 0) return mci::ByteSpan{at, end};
        at = end;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> lengthFrame(int major, std::int64_t clipMs) {
    const std::string text = std::to_string(clipMs);
    std::vector<std::uint8_t> frame(major == 2 ? 6 : 10, 0);
    frame.push_back(0);  // ISO-8859-1
    frame.insert(frame.end(), text.begin(), text.end());
    const auto size = static_cast<std::uint32_t>(1 + text.size());
    if (major == 2) {
        std::memcpy(frame.data(), "TLE", 3);
        putBigEndian(frame.data() + 3, size, 3);
    } else {
        std::memcpy(frame.data(), "TLEN", 4);
        if (major == 3)
            putBigEndian(frame.data() + 4, size, 4);
        else
            putSyncsafe32(frame.data() + 4, size);
    }
    return frame;
}

}  // namespace

void copyId3v2Tag(mci::BlockFileReader& file, mci::ByteSpan tag, std::int64_t clipMs,
                  const ByteSink& sink) {
    const std::uint8_t* header = file.bytesAt(tag.begin, tagHeaderBytes);
    if (header == nullptr) throw std::runtime_error("cannot read the source's ID3v2 tag");
    std::uint8_t newHeader[tagHeaderBytes];
    std::memcpy(newHeader, header, tagHeaderBytes);
    const int major = newHeader[3];
    const std::uint8_t flags = newHeader[5];
    const bool wholeTagUnsynchronised = major < 4 && (flags & 0x80u) != 0;
    const bool wholeTagCompressed = major == 2 && (flags & 0x40u) != 0;
    if (major < 2 || major > 4 || wholeTagUnsynchronised || wholeTagCompressed) {
        copyRange(file, tag.begin, tag.end, sink);
        return;
    }

    const bool hasFooter = major == 4 && (flags & 0x10u) != 0;
    const std::uint64_t bodyBegin = tag.begin + tagHeaderBytes;
    const std::uint64_t bodyEnd = tag.end - (hasFooter ? 10 : 0);
    std::uint64_t framesBegin = bodyBegin;
    if (major >= 3 && (flags & 0x40u) != 0) {
        const std::uint8_t* extended = file.bytesAt(bodyBegin, 4);
        if (extended == nullptr) throw std::runtime_error("cannot read the source's ID3v2 tag");
        framesBegin += major == 3 ? bigEndian(extended, 4) + 4u : syncsafe32(extended);
    }
    const auto oldFrame = findLengthFrame(file, major, framesBegin, bodyEnd);
    if (!oldFrame) {
        copyRange(file, tag.begin, tag.end, sink);
        return;
    }
    const std::vector<std::uint8_t> newFrame = lengthFrame(major, clipMs);
    const std::uint64_t newBodyBytes = (bodyEnd - bodyBegin) - oldFrame->size() + newFrame.size();
    if (newBodyBytes > largestSyncsafe) {
        copyRange(file, tag.begin, tag.end, sink);
        return;
    }
    putSyncsafe32(newHeader + 6, static_cast<std::uint32_t>(newBodyBytes));
    sink(newHeader, tagHeaderBytes);
    copyRange(file, bodyBegin, oldFrame->begin, sink);
    sink(newFrame.data(), newFrame.size());
    copyRange(file, oldFrame->end, bodyEnd, sink);
    if (hasFooter) {
        newHeader[0] = '3';
        newHeader[1] = 'D';
        newHeader[2] = 'I';
        sink(newHeader, tagHeaderBytes);
    }
}

}  // namespace snipwell::exact
