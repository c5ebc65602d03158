#include "mp3/frame_walker.h"

#include <algorithm>

namespace snipwell::mp3 {
namespace {

constexpr int framesToTrustSync = 4;

// How far into the audio we look for a free-format header before saying
// that a file holds no MPEG audio at all.
constexpr std::uint64_t freeFormatSearchBytes = 64 * 1024;

// The longest free-format frame any decoder takes: 640 kbit/s at 32 kHz.
constexpr std::uint64_t longestFreeFormatFrame = 2881;

}  // namespace

FrameWalker::FrameWalker(BlockReader& file, ByteSpan audio, OtherStreams others)
    : file_(&file), audio_(audio), others_(others) {}

// The header at `offset` when a whole frame of the stream `identity` (or of
// any stream, for identity 0) lies there inside the audio.
std::optional<FrameHeader> FrameWalker::frameAt(std::uint64_t offset, std::uint32_t identity) {
    if (offset + 4 > audio_.end) return std::nullopt;
    const std::uint8_t* bytes = file_->bytesAt(offset, 4);
    if (bytes == nullptr) return std::nullopt;
    if (identity != 0 && (readBigEndian32(bytes) & streamIdentityMask) != identity) {
        return std::nullopt;
    }
    auto header = parseFrameHeader(bytes);
    if (!header || offset + header->frameBytes > audio_.end) return std::nullopt;
    return header;
}

bool FrameWalker::chainStartsAt(std::uint64_t offset, std::uint32_t identity) {
    std::uint64_t at = offset;
    for (int count = 0; count < framesToTrustSync; ++count) {
        if (at == audio_.end && count > 0) return true;
        const auto header = frameAt(at, identity);
        if (!header) return false;
        if (identity == 0) identity = readBigEndian32(file_->bytesAt(at, 4)) & streamIdentityMask;
        at += header->frameBytes;
    }
    return true;
}

// The next offset at or after `from` where a trusted chain of the stream
// `identity` (of any stream, for 0) starts.
std::optional<std::uint64_t> FrameWalker::findSync(std::uint64_t from, std::uint32_t identity) {
    for (std::uint64_t at = from; at + 4 <= audio_.end; ++at) {
        const std::uint8_t* bytes = file_->bytesAt(at, 2);
        if (bytes == nullptr) return std::nullopt;
        if (bytes[0] != 0xFF || (bytes[1] & 0xE0u) != 0xE0u) continue;
        if (chainStartsAt(at, identity)) return at;
    }
    return std::nullopt;
}

// Free-format frames do not state their length, but all have the same one
// (give or take a padding byte): three such headers of one stream in a row,
// evenly spaced, are taken for a free-format stream rather than chance.
bool FrameWalker::freeFormatChainAt(std::uint64_t offset) {
    const std::uint8_t* bytes = file_->bytesAt(offset, 4);
    if (bytes == nullptr) return false;
    const std::uint32_t word = readBigEndian32(bytes);
    if (!isFreeFormatHeader(word)) return false;
    const std::uint32_t identity = word & streamIdentityMask;
    auto sameStreamAt = [&](std::uint64_t at) {
        const std::uint8_t* next = at + 4 <= audio_.end ? file_->bytesAt(at, 4) : nullptr;
        if (next == nullptr) return false;
        const std::uint32_t nextWord = readBigEndian32(next);
        return isFreeFormatHeader(nextWord) && (nextWord & streamIdentityMask) == identity;
    };
    for (std::uint64_t length = 24; length <= longestFreeFormatFrame; ++length) {
        if (!sameStreamAt(offset + length)) continue;
        for (std::uint64_t third = offset + 2 * length - 1; third <= offset + 2 * length + 1;
             ++third) {
            if (sameStreamAt(third)) return true;
        }
    }
    return false;
}

Mp3Result<FrameWalker> FrameWalker::start(BlockReader& file, ByteSpan audio, OtherStreams others) {
    FrameWalker walker(file, audio, others);
    const auto first = walker.findSync(audio.begin, 0);
    if (!first) {
        if (file.failure()) return *file.failure();
        const std::uint64_t searchEnd = std::min(audio.end, audio.begin + freeFormatSearchBytes);
        for (std::uint64_t at = audio.begin; at + 4 <= searchEnd; ++at) {
            if (walker.freeFormatChainAt(at)) return Mp3Error{Mp3Fault::freeFormat, at};
        }
        return Mp3Error{Mp3Fault::noAudio, audio.begin};
    }
    // The chain was read a moment ago; if it cannot be read again, the file
    // has changed under us.
    const std::uint8_t* bytes = file.bytesAt(*first, 4);
    const auto header = bytes ? parseFrameHeader(bytes) : std::nullopt;
    if (!header) return file.failure().value_or(Mp3Error{Mp3Fault::changed, *first});
    const std::uint32_t word = readBigEndian32(bytes);
    walker.identity_ = word & streamIdentityMask;
    walker.first_ = WalkedFrame{*first, word, *header};
    return walker;
}

std::optional<Mp3Error> FrameWalker::walk(const Visit& visit) {
    std::uint64_t at = first_.offset;
    while (at + 4 <= audio_.end) {
        if (const auto header = frameAt(at, identity_)) {
            const WalkedFrame frame{at, readBigEndian32(file_->bytesAt(at, 4)), *header};
            at += header->frameBytes;
            if (!visit(frame)) return std::nullopt;
            continue;
        }
        // Junk between frames, a last frame cut short, or another stream:
        // look for the next trusted chain of frames.
        const auto next = findSync(at, others_ == OtherStreams::skip ? identity_ : 0);
        if (!next) break;
        const std::uint32_t word = readBigEndian32(file_->bytesAt(*next, 4));
        if ((word & streamIdentityMask) != identity_) {
            return Mp3Error{Mp3Fault::streamChanges, *next, 0, first_.word, word};
        }
        at = *next;
    }
    return file_->failure();
}

}  // namespace snipwell::mp3
