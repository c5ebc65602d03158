#include "clip/exact/mp3_frame_walker.h"

#include <algorithm>

#include "clip/exact/layer3_frame.h"

namespace snipwell::exact {
namespace {

// A stream is believed once this many frames follow each other with nothing
// between them, or when the frames run exactly to the end of the audio.
constexpr int framesToTrustSync = 4;

// How far into the audio we look for a free-format header before saying
// that a file holds no MPEG audio at all.
constexpr std::uint64_t freeFormatSearchBytes = 64 * 1024;

const char* versionName(mci::MpegVersion version) {
    switch (version) {
        case mci::MpegVersion::mpeg1: return "MPEG-1";
        case mci::MpegVersion::mpeg2: return "MPEG-2";
        case mci::MpegVersion::mpeg25: return "MPEG-2.5";
    }
    return "MPEG";
}

}  // namespace

Mp3FrameWalker::Mp3FrameWalker(mci::BlockFileReader& file, mci::ByteSpan audio)
    : file_(file), audio_(audio), at_(audio.begin) {}

std::optional<mci::MpegFrameHeader> Mp3FrameWalker::frameAt(std::uint64_t offset,
                                                            std::uint32_t identity) {
    if (offset + 4 > audio_.end) return std::nullopt;
    const std::uint8_t* bytes = file_.bytesAt(offset, 4);
    if (bytes == nullptr) return std::nullopt;
    if (identity != 0 && (mci::readBigEndian32(bytes) & mci::streamIdentityMask) != identity) {
        return std::nullopt;
    }
    auto header = mci::parseFrameHeader(bytes);
    if (!header || offset + header->frameBytes > audio_.end) return std::nullopt;
    return header;
}

bool Mp3FrameWalker::chainStartsAt(std::uint64_t offset, std::uint32_t identity) {
    std::uint64_t at = offset;
    for (int count = 0; count < framesToTrustSync; ++count) {
        if (at == audio_.end && count > 0) return true;
        const auto header = frameAt(at, identity);
        if (!header) return false;
        if (identity == 0)
            identity = mci::readBigEndian32(file_.bytesAt(at, 4)) & mci::streamIdentityMask;
        at += header->frameBytes;
    }
    return true;
}

// The next offset at or after `from` where a trusted chain of any stream starts.
std::optional<std::uint64_t> Mp3FrameWalker::findSync(std::uint64_t from) {
    for (std::uint64_t at = from; at + 4 <= audio_.end; ++at) {
        const std::uint8_t* bytes = file_.bytesAt(at, 2);
        if (bytes == nullptr) return std::nullopt;
        if (bytes[0] != 0xFF || (bytes[1] & 0xE0u) != 0xE0u) continue;
        if (chainStartsAt(at, 0)) return at;
    }
    return std::nullopt;
}

// Free-format frames do not state their length, but all have the same one
// (give or take a padding byte): three such headers of one stream in a row,
// evenly spaced, are taken for a free-format stream rather than chance.
bool Mp3FrameWalker::freeFormatChainAt(std::uint64_t offset) {
    const std::uint8_t* bytes = file_.bytesAt(offset, 4);
    if (bytes == nullptr) return false;
    const std::uint32_t word = mci::readBigEndian32(bytes);
    if (!isFreeFormatHeader(word)) return false;
    const std::uint32_t identity = word & mci::streamIdentityMask;
    auto sameStreamAt = [&](std::uint64_t at) {
        const std::uint8_t* next = at + 4 <= audio_.end ? file_.bytesAt(at, 4) : nullptr;
        if (next == nullptr) return false;
        const std::uint32_t nextWord = mci::readBigEndian32(next);
        return isFreeFormatHeader(nextWord) && (nextWord & mci::streamIdentityMask) == identity;
    };
    constexpr std::uint64_t longestFrame =
        2881;  // 640 kbit/s at 32 kHz, the most any decoder takes
    for (std::uint64_t length = 24; length <= longestFrame; ++length) {
        if (!sameStreamAt(offset + length)) continue;
        for (std::uint64_t third = offset + 2 * length - 1; third <= offset + 2 * length + 1;
             ++third) {
            if (sameStreamAt(third)) return true;
        }
    }
    return false;
}

std::string Mp3FrameWalker::describeStream(std::uint32_t word) const {
    const auto header = headerOfWord(word);
    if (!header) return "another stream";
    return std::string(versionName(header->version)) + " Layer " +
           (header->layer == 3   ? "III"
            : header->layer == 2 ? "II"
                                 : "I") +
           " at " + std::to_string(header->sampleRate) + " Hz";
}

bool Mp3FrameWalker::start() {
    const auto first = findSync(audio_.begin);
    if (!first) {
        const std::uint64_t searchEnd = std::min(audio_.end, audio_.begin + freeFormatSearchBytes);
        for (std::uint64_t at = audio_.begin; at + 4 <= searchEnd; ++at) {
            if (freeFormatChainAt(at)) {
                refusal_ =
                    "the source is a free-format MPEG stream, whose frames do not state "
                    "their length, so it cannot be cut frame by frame";
                return false;
            }
        }
        refusal_ = file_.readFailed() ? "cannot read the source" : "the source holds no MPEG audio";
        return false;
    }
    const std::uint32_t word = mci::readBigEndian32(file_.bytesAt(*first, 4));
    identity_ = word & mci::streamIdentityMask;
    first_ = WalkedFrame{*first, word, *frameAt(*first, identity_)};
    if (first_.header.layer != 3) {
        refusal_ = "the source is MPEG Layer " +
                   std::string(first_.header.layer == 2 ? "II" : "I") +
                   ", not Layer III (MP3): only MP3 frames can be cut exactly";
        return false;
    }
    at_ = *first;
    return true;
}

std::optional<WalkedFrame> Mp3FrameWalker::next() {
    if (!refusal_.empty()) return std::nullopt;
    while (at_ + 4 <= audio_.end) {
        if (const auto header = frameAt(at_, identity_)) {
            WalkedFrame frame{at_, mci::readBigEndian32(file_.bytesAt(at_, 4)), *header};
            at_ += header->frameBytes;
            return frame;
        }
        // Junk between frames, a last frame cut short, or another stream:
        // look for the next trusted chain of frames.
        const auto next = findSync(at_);
        if (!next) break;
        const std::uint32_t word = mci::readBigEndian32(file_.bytesAt(*next, 4));
        if ((word & mci::streamIdentityMask) != identity_) {
            refusal_ = "the stream changes from " + describeStream(first_.word) + " to " +
                       describeStream(word) + " at byte " + std::to_string(*next) +
                       ", so no clip of it can be exact";
            return std::nullopt;
        }
        at_ = *next;
    }
    if (file_.readFailed()) refusal_ = "cannot read the source";
    return std::nullopt;
}

}  // namespace snipwell::exact
