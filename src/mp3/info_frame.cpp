#include "mp3/info_frame.h"

#include <algorithm>
#include <cstring>

#include "mp3/byte_order.h"

namespace snipwell::mp3 {
namespace {

bool hasTag(const std::uint8_t* at, const char (&tag)[5]) { return std::memcmp(at, tag, 4) == 0; }

bool hasXingTagAt(const std::uint8_t* frame, std::size_t frameBytes, std::size_t at) {
    return frameBytes >= at + 8 && (hasTag(frame + at, "Xing") || hasTag(frame + at, "Info"));
}

// The Xing/Info tag follows the side information. In a CRC-protected stream
// the common encoder writes it 2 bytes earlier, as though there were no CRC,
// and decoders look there too.
std::optional<std::size_t> findXingTag(const std::uint8_t* frame, const FrameHeader& header) {
    const std::size_t afterSideInfo = header.sideInfoEnd();
    if (hasXingTagAt(frame, header.frameBytes, afterSideInfo)) return afterSideInfo;
    const std::size_t withoutCrc = afterSideInfo - 2;
    if (header.hasCrc && hasXingTagAt(frame, header.frameBytes, withoutCrc)) return withoutCrc;
    return std::nullopt;
}

// The extension starts with the encoder's name; the gapless fields are only
// defined for encoders that write this layout.
bool writesGaplessFields(const LameExtension& lame) {
    const auto* name = lame.encoder.data();
    return hasTag(name, "LAME") || hasTag(name, "Lavc") || hasTag(name, "Lavf") ||
           hasTag(name, "GOGO");
}

LameExtension readLameExtension(const std::uint8_t* frame, std::size_t offset) {
    const std::uint8_t* lame = frame + offset;
    LameExtension extension;
    extension.offset = offset;
    std::copy(lame, lame + extension.encoder.size(), extension.encoder.begin());
    extension.revisionAndMethod = lame[9];
    extension.lowpassHundredsHz = lame[10];
    extension.miscFlags = lame[24];
    return extension;
}

void readXingFields(const std::uint8_t* frame, std::size_t frameBytes, std::size_t xing,
                    InfoFrame& info) {
    info.kind = hasTag(frame + xing, "Xing") ? InfoTagKind::xing : InfoTagKind::info;
    info.skippedByDecoder = true;
    const std::uint32_t flags = readBigEndian32(frame + xing + 4);
    std::size_t at = xing + 8;
    if (flags & xingFramesFlag) {
        if (at + 4 <= frameBytes) info.declaredFrames = readBigEndian32(frame + at);
        at += 4;
    }
    if (flags & xingBytesFlag) at += 4;
    if (flags & xingTocFlag) at += 100;
    if (flags & xingQualityFlag) {
        if (at + 4 <= frameBytes) info.quality = readBigEndian32(frame + at);
        at += 4;
    }
    if (at + lameExtensionBytes > frameBytes) return;
    info.lame = readLameExtension(frame, at);
    if (!writesGaplessFields(*info.lame)) return;
    const std::uint8_t* field = frame + at + lameDelayPaddingOffset;
    info.hasGaplessInfo = true;
    info.encoderDelay = (std::uint32_t{field[0]} << 4) | (std::uint32_t{field[1]} >> 4);
    info.endPadding = ((std::uint32_t{field[1]} & 0x0Fu) << 8) | std::uint32_t{field[2]};
}

// A VBRI frame is played like any other frame, and its delay field has no
// settled meaning, so only its frame count is taken.
void readVbriFields(const std::uint8_t* frame, std::size_t frameBytes, InfoFrame& info) {
    constexpr std::size_t framesField = vbriTagOffset + 14;
    if (frameBytes < framesField + 4 || !hasTag(frame + vbriTagOffset, "VBRI")) return;
    info.kind = InfoTagKind::vbri;
    info.declaredFrames = readBigEndian32(frame + framesField);
}

}  // namespace

InfoFrame readInfoFrame(const std::uint8_t* frame, const FrameHeader& header) {
    InfoFrame info;
    if (const auto xing = findXingTag(frame, header)) {
        readXingFields(frame, header.frameBytes, *xing, info);
    } else {
        readVbriFields(frame, header.frameBytes, info);
    }
    return info;
}

}  // namespace snipwell::mp3
