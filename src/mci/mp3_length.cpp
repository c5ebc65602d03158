#include "mci/mp3_length.h"

#include <cstring>
#include <optional>

#include "mci/block_file_reader.h"
#include "mci/mp3_info_frame.h"
#include "mci/mp3_tags.h"
#include "mci/mpeg_frame_header.h"

namespace snipwell::mci {
namespace {

// A stream is believed once this many frames follow each other with nothing
// between them, or when the frames run exactly to the end of the audio.
// Random bytes pass that test with a chance far below one in a billion.
constexpr int framesToTrustSync = 4;

// Samples a Layer III decoder outputs before the first sample the encoder
// was given (its synthesis filter delay), which gapless decoding removes.
constexpr std::uint64_t decoderDelaySamples = 529;

using AudioSpan = ByteSpan;

// The header at `offset` when a whole frame of the stream `identity` (or of
// any stream, for identity 0) lies there inside the span.
std::optional<MpegFrameHeader> frameAt(BlockFileReader& file, std::uint64_t offset,
                                       const AudioSpan& span, std::uint32_t identity) {
    if (offset + 4 > span.end) return std::nullopt;
    const std::uint8_t* bytes = file.bytesAt(offset, 4);
    if (bytes == nullptr) return std::nullopt;
    if (identity != 0 && (readBigEndian32(bytes) & streamIdentityMask) != identity) {
        return std::nullopt;
    }
    auto header = parseFrameHeader(bytes);
    if (!header || offset + header->frameBytes > span.end) return std::nullopt;
    return header;
}

// True when a chain of frames of one stream starts at `offset`.
bool chainStartsAt(BlockFileReader& file, std::uint64_t offset, const AudioSpan& span,
                   std::uint32_t identity) {
    std::uint64_t at = offset;
    for (int count = 0; count < framesToTrustSync; ++count) {
        if (at == span.end && count > 0) return true;
        const auto header = frameAt(file, at, span, identity);
        if (!header) return false;
        if (identity == 0) {
            identity = readBigEndian32(file.bytesAt(at, 4)) & streamIdentityMask;
        }
        at += header->frameBytes;
    }
    return true;
}

// The next offset at or after `from` where a trusted chain starts.
std::optional<std::uint64_t> findSync(BlockFileReader& file, std::uint64_t from,
                                      const AudioSpan& span, std::uint32_t identity) {
    for (std::uint64_t at = from; at + 4 <= span.end; ++at) {
        const std::uint8_t* bytes = file.bytesAt(at, 2);
        if (bytes == nullptr) return std::nullopt;
        if (bytes[0] != 0xFF || (bytes[1] & 0xE0u) != 0xE0u) continue;
        if (chainStartsAt(file, at, span, identity)) return at;
    }
    return std::nullopt;
}

// A read error or a file that shrank while we read it explains a failure
// better than what the bytes we did get seemed to say.
MciError failureOf(const BlockFileReader& file, MciError otherwise) {
    if (file.readFailed()) return MciError::fileUnreadable;
    if (file.shrank()) return MciError::fileChanged;
    return otherwise;
}

}  // namespace

std::int64_t Mp3Length::milliseconds() const {
    if (sampleRate == 0) return 0;
    return static_cast<std::int64_t>((samples * 1000 + sampleRate / 2) / sampleRate);
}

std::variant<Mp3Length, MciError> measureMp3Length(const std::string& path) {
    auto opened = BlockFileReader::open(path);
    if (auto* error = std::get_if<MciError>(&opened)) return *error;
    return measureMp3Length(std::get<BlockFileReader>(opened));
}

std::variant<Mp3Length, MciError> measureMp3Length(BlockFileReader& file) {
    const AudioSpan span = findTagLayout(file).audio;
    const auto first = findSync(file, span.begin, span, 0);
    if (!first) return failureOf(file, MciError::notMpegAudio);

    // The first frame was read a moment ago; if it cannot be read again, the
    // file has changed under us.
    const std::uint8_t* firstBytes = file.bytesAt(*first, 4);
    if (firstBytes == nullptr) return failureOf(file, MciError::fileChanged);
    const std::uint32_t identity = readBigEndian32(firstBytes) & streamIdentityMask;
    const auto firstHeader = frameAt(file, *first, span, identity);
    const std::uint8_t* firstFrame =
        firstHeader ? file.bytesAt(*first, firstHeader->frameBytes) : nullptr;
    if (firstFrame == nullptr) return failureOf(file, MciError::fileChanged);
    const Mp3InfoFrame info = readInfoFrame(firstFrame, *firstHeader);

    Mp3Length length;
    length.sampleRate = firstHeader->sampleRate;
    std::uint64_t samples = 0;
    std::uint64_t at = *first;
    if (info.skippedByDecoder) at += firstHeader->frameBytes;

    while (at + 4 <= span.end) {
        if (const auto header = frameAt(file, at, span, identity)) {
            ++length.audioFrames;
            samples += header->samplesPerFrame;
            at += header->frameBytes;
            continue;
        }
        // Junk between frames, or a last frame cut short: resume at the next
        // trusted chain, if any.
        const auto next = findSync(file, at + 1, span, identity);
        if (!next) break;
        at = *next;
    }
    if (file.readFailed() || file.shrank()) return failureOf(file, MciError::notMpegAudio);
    if (length.audioFrames == 0) return MciError::notMpegAudio;

    if (info.hasGaplessInfo) {
        // A gapless decoder drops the encoder delay plus its own decoding
        // delay at the start, and at the end the padding less that decoding
        // delay. A file cut short has lost its padded end, so only the start
        // is trimmed.
        const bool cutShort = info.declaredFrames != 0 && length.audioFrames < info.declaredFrames;
        const std::uint64_t trim = cutShort ? std::uint64_t{info.encoderDelay} + decoderDelaySamples
                                            : std::uint64_t{info.encoderDelay} + info.endPadding;
        samples = samples > trim ? samples - trim : 0;
        length.gaplessTrimmed = true;
    }
    length.samples = samples;
    return length;
}

}  // namespace snipwell::mci
