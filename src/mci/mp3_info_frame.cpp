#include "mci/mp3_info_frame.h"

#include <cstring>
#include <optional>

namespace snipwell::mci {
namespace {

bool hasTag(const std::uint8_t* at, const char (&tag)[5]) { return std::memcmp(at, tag, 4) == 0; }

// Fields of a Xing/Info tag that precede the LAME extension, by flag bit.
constexpr std::uint32_t xingFramesFlag = 1;
constexpr std::uint32_t xingBytesFlag = 2;
constexpr std::uint32_t xingTocFlag = 4;
constexpr std::uint32_t xingQualityFlag = 8;

// Offsets inside the LAME extension.
constexpr std::size_t lameDelayPaddingOffset = 21;
constexpr std::size_t lameExtensionBytes = 36;

bool hasXingTagAt(const std::uint8_t* frame, std::size_t frameBytes, std::size_t at) {
    return frameBytes >= at + 8 && (hasTag(frame + at, "Xing") || hasTag(frame + at, "Info"));
}

// The Xing/Info tag follows the side information. In a CRC-protected stream
// some encoders write it 2 bytes earlier, as though there were no CRC, and
// decoders find it there too.
std::optional<std::size_t> findXingTag(const std::uint8_t* frame, const MpegFrameHeader& header) {
    const std::size_t afterSideInfo = header.sideInfoEnd();
    if (hasXingTagAt(frame, header.frameBytes, afterSideInfo)) return afterSideInfo;
    const std::size_t withoutCrc = afterSideInfo - 2;
    if (header.hasCrc && hasXingTagAt(frame, header.frameBytes, withoutCrc)) return withoutCrc;
    return std::nullopt;
}

}  // namespace

Mp3InfoFrame readInfoFrame(const std::uint8_t* frame, const MpegFrameHeader& header) {
    Mp3InfoFrame info;
    const std::size_t frameBytes = header.frameBytes;

    // A VBRI frame (at 36 bytes from the start) is played like any other
    // frame, and its delay field has no settled meaning, so it changes
    // nothing here.
    const auto found = findXingTag(frame, header);
    if (!found) return info;
    const std::size_t xing = *found;
    info.skippedByDecoder = true;

    const std::uint32_t flags = readBigEndian32(frame + xing + 4);
    if ((flags & xingFramesFlag) && frameBytes >= xing + 12) {
        info.declaredFrames = readBigEndian32(frame + xing + 8);
    }
    std::size_t lame = xing + 8;
    if (flags & xingFramesFlag) lame += 4;
    if (flags & xingBytesFlag) lame += 4;
    if (flags & xingTocFlag) lame += 100;
    if (flags & xingQualityFlag) lame += 4;
    if (lame + lameExtensionBytes > frameBytes) return info;

    // The extension starts with the encoder's name; the gapless fields are
    // only defined for encoders that write this layout.
    const std::uint8_t* extension = frame + lame;
    const bool knownEncoder = hasTag(extension, "LAME") || hasTag(extension, "Lavc") ||
                              hasTag(extension, "Lavf") || hasTag(extension, "GOGO");
    if (!knownEncoder) return info;
    const std::uint8_t* field = extension + lameDelayPaddingOffset;
    info.hasGaplessInfo = true;
    info.encoderDelay = (std::uint32_t{field[0]} << 4) | (std::uint32_t{field[1]} >> 4);
    info.endPadding = ((std::uint32_t{field[1]} & 0x0Fu) << 8) | std::uint32_t{field[2]};
    return info;
}

}  // namespace snipwell::mci
