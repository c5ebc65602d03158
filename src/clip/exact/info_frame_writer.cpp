#include "clip/exact/info_frame_writer.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "clip/exact/crc16.h"
#include "clip/exact/layer3_frame.h"
#include "mci/mpeg_frame_header.h"

namespace snipwell::exact {
namespace {

// Frames, bytes, TOC and quality are all present.
constexpr std::uint32_t allXingFields = 0x0F;

void putBigEndian32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

void putBigEndian16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

}  // namespace

std::uint32_t infoTagOffset(std::uint32_t headerWord) {
    const auto header = headerOfWord(headerWord);
    return header ? header->sideInfoEnd() : 0;
}

std::optional<std::vector<std::uint8_t>> buildInfoFrame(std::uint32_t headerWord,
                                                        const InfoFrameFields& fields) {
    const auto header = headerOfWord(headerWord);
    if (!header || header->hasCrc) return std::nullopt;
    if (fields.encoderDelay > maxGaplessField || fields.endPadding > maxGaplessField) {
        return std::nullopt;
    }
    const std::uint32_t xing = header->sideInfoEnd();
    if (header->frameBytes < xing + xingFieldsBytes + lameExtensionBytes) return std::nullopt;

    std::array<std::uint8_t, 4> headerBytes{};
    putBigEndian32(headerBytes.data(), headerWord);
    std::vector<std::uint8_t> frame(headerBytes.begin(), headerBytes.end());
    frame.resize(header->frameBytes, 0);
    std::uint8_t* tag = frame.data() + xing;
    const std::string_view marker = fields.variableBitrate ? "Xing" : "Info";
    std::copy(marker.begin(), marker.end(), tag);
    putBigEndian32(tag + 4, allXingFields);
    putBigEndian32(tag + 8, fields.audioFrames);
    putBigEndian32(tag + 12, fields.xingBytes);
    std::copy(fields.toc.begin(), fields.toc.end(), tag + 16);
    putBigEndian32(tag + 116, fields.quality);

    std::uint8_t* lame = tag + xingFieldsBytes;
    std::memset(lame, ' ', 9);
    std::copy_n(fields.encoder.data(), std::min<std::size_t>(fields.encoder.size(), 9), lame);
    lame[9] = fields.revisionAndMethod;
    lame[10] = fields.lowpassHundredsHz;
    // Peak amplitude and both replay gains stay 0: "not set". The source's
    // values describe the whole track, not the clip.
    lame[20] = fields.bitrateKbps;
    lame[lameDelayOffset] = static_cast<std::uint8_t>(fields.encoderDelay >> 4);
    lame[lameDelayOffset + 1] =
        static_cast<std::uint8_t>(((fields.encoderDelay & 0x0Fu) << 4) | (fields.endPadding >> 8));
    lame[lameDelayOffset + 2] = static_cast<std::uint8_t>(fields.endPadding);
    lame[24] = fields.miscFlags;
    putBigEndian32(lame + lameMusicLengthOffset, fields.musicBytes);
    putBigEndian16(lame + lameMusicCrcOffset, fields.musicCrc);
    // The tag's own CRC covers the frame from its first byte up to the CRC.
    const std::uint32_t tagCrcAt = xing + xingFieldsBytes + lameTagCrcOffset;
    putBigEndian16(frame.data() + tagCrcAt, crc16Update(0, frame.data(), tagCrcAt));
    return frame;
}

}  // namespace snipwell::exact
