#include "mp3/id3v2_length_update.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "mp3/byte_order.h"

namespace snipwell::mp3 {
namespace {

constexpr std::uint64_t tagHeaderBytes = 10;
// The source's bytes from `from` up to `to`, handed to `sink`; false when
// they cannot all be read.
bool copyRange(BlockReader& file, std::uint64_t from, std::uint64_t to, const ByteSink& sink) {
    while (from < to) {
        const std::size_t count =
            static_cast<std::size_t>(std::min<std::uint64_t>(to - from, BlockReader::maxSpan));
        const std::uint8_t* bytes = file.bytesAt(from, count);
        if (bytes == nullptr) return false;
        sink(bytes, count);
        from += count;
    }
    return true;
}

// The TLEN frame's place in the tag, if it has one where we can find it.
std::optional<ByteSpan> findLengthFrame(BlockReader& file, int major, std::uint64_t framesBegin,
                                        std::uint64_t framesEnd) {
    const std::uint64_t headerBytes = major == 2 ? 6 : 10;
    const char* id = major == 2 ? "TLE" : "TLEN";
    std::uint64_t at = framesBegin;
    while (at + headerBytes <= framesEnd) {
        const std::uint8_t* header = file.bytesAt(at, static_cast<std::size_t>(headerBytes));
        if (header == nullptr || header[0] == 0) return std::nullopt;  // padding starts
        const std::uint32_t size = major == 2   ? readBigEndian24(header + 3)
                                   : major == 3 ? readBigEndian32(header + 4)
                                                : readSyncsafe32(header + 4);
        const std::uint64_t end = at + headerBytes + size;
        if (end > framesEnd) return std::nullopt;
        if (std::memcmp(header, id, std::strlen(id)) == 0) return ByteSpan{at, end};
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
        frame[3] = static_cast<std::uint8_t>(size >> 16);
        writeBigEndian16(frame.data() + 4, size);
    } else {
        std::memcpy(frame.data(), "TLEN", 4);
        if (major == 3)
            writeBigEndian32(frame.data() + 4, size);
        else
            writeSyncsafe32(frame.data() + 4, size);
    }
    return frame;
}

}  // namespace

std::optional<Mp3Error> copyId3v2Tag(BlockReader& file, ByteSpan tag, std::int64_t clipMs,
                                     const ByteSink& sink) {
    const auto unreadable = [&] {
        return file.failure().value_or(Mp3Error{Mp3Fault::changed, tag.begin});
    };
    const auto copied = [&](std::uint64_t from, std::uint64_t to) -> std::optional<Mp3Error> {
        if (!copyRange(file, from, to, sink)) return unreadable();
        return std::nullopt;
    };
    const std::uint8_t* header = file.bytesAt(tag.begin, tagHeaderBytes);
    if (header == nullptr) return unreadable();
    std::uint8_t newHeader[tagHeaderBytes];
    std::memcpy(newHeader, header, tagHeaderBytes);
    const int major = newHeader[3];
    const std::uint8_t flags = newHeader[5];
    const bool wholeTagUnsynchronised = major < 4 && (flags & 0x80u) != 0;
    const bool wholeTagCompressed = major == 2 && (flags & 0x40u) != 0;
    if (major < 2 || major > 4 || wholeTagUnsynchronised || wholeTagCompressed) {
        return copied(tag.begin, tag.end);
    }

    const bool hasFooter = major == 4 && (flags & 0x10u) != 0;
    const std::uint64_t bodyBegin = tag.begin + tagHeaderBytes;
    const std::uint64_t bodyEnd = tag.end - (hasFooter ? 10 : 0);
    std::uint64_t framesBegin = bodyBegin;
    if (major >= 3 && (flags & 0x40u) != 0) {
        const std::uint8_t* extended = file.bytesAt(bodyBegin, 4);
        if (extended == nullptr) return unreadable();
        framesBegin += major == 3 ? readBigEndian32(extended) + 4u : readSyncsafe32(extended);
    }
    const auto oldFrame = findLengthFrame(file, major, framesBegin, bodyEnd);
    if (!oldFrame) {
        return copied(tag.begin, tag.end);
    }
    const std::vector<std::uint8_t> newFrame = lengthFrame(major, clipMs);
    const std::uint64_t newBodyBytes = (bodyEnd - bodyBegin) - oldFrame->size() + newFrame.size();
    if (newBodyBytes > largestSyncsafe) {
        return copied(tag.begin, tag.end);
    }
    writeSyncsafe32(newHeader + 6, static_cast<std::uint32_t>(newBodyBytes));
    sink(newHeader, tagHeaderBytes);
    if (auto error = copied(bodyBegin, oldFrame->begin)) return error;
    sink(newFrame.data(), newFrame.size());
    if (auto error = copied(oldFrame->end, bodyEnd)) return error;
    if (hasFooter) {
        newHeader[0] = '3';
        newHeader[1] = 'D';
        newHeader[2] = 'I';
        sink(newHeader, tagHeaderBytes);
    }
    return std::nullopt;
}

}  // namespace snipwell::mp3
