#include "mp3/info_frame_writer.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "mp3/byte_order.h"
#include "mp3/crc16.h"
#include "mp3/frame_header.h"

namespace snipwell::mp3 {
namespace {

// Frames, bytes, TOC and quality are all present.
constexpr std::uint32_t allXingFields =
    xingFramesFlag | xingBytesFlag | xingTocFlag | xingQualityFlag;

}  // namespace

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
    writeBigEndian32(headerBytes.data(), headerWord);
    std::vector<std::uint8_t> frame(headerBytes.begin(), headerBytes.end());
    frame.resize(header->frameBytes, 0);
    std::uint8_t* tag = frame.data() + xing;
    const std::string_view marker = fields.variableBitrate ? "Xing" : "Info";
    std::copy(marker.begin(), marker.end(), tag);
    writeBigEndian32(tag + 4, allXingFields);
    writeBigEndian32(tag + 8, fields.audioFrames);
    writeBigEndian32(tag + 12, fields.xingBytes);
    std::copy(fields.toc.begin(), fields.toc.end(), tag + 16);
    writeBigEndian32(tag + 116, fields.quality);

    std::uint8_t* lame = tag + xingFieldsBytes;
    std::memset(lame, ' ', 9);
    std::copy_n(fields.encoder.data(), std::min<std::size_t>(fields.encoder.size(), 9), lame);
    lame[9] = fields.revisionAndMethod;
    lame[10] = fields.lowpassHundredsHz;
    // Peak amplitude and both replay gains stay 0: "not set". The source's
    // values describe the whole track, not the clip.
    lame[20] = fields.bitrateKbps;
    lame[lameDelayPaddingOffset] = static_cast<std::uint8_t>(fields.encoderDelay >> 4);
    lame[lameDelayPaddingOffset + 1] =
        static_cast<std::uint8_t>(((fields.encoderDelay & 0x0Fu) << 4) | (fields.endPadding >> 8));
    lame[lameDelayPaddingOffset + 2] = static_cast<std::uint8_t>(fields.endPadding);
    lame[24] = fields.miscFlags;
    writeBigEndian32(lame + lameMusicLengthOffset, fields.musicBytes);
    writeBigEndian16(lame + lameMusicCrcOffset, fields.musicCrc);
    // The tag's own CRC covers the frame from its first byte up to the CRC.
    const std::uint32_t tagCrcAt = xing + xingFieldsBytes + lameTagCrcOffset;
    writeBigEndian16(frame.data() + tagCrcAt, crc16Update(0, frame.data(), tagCrcAt));
    return frame;
}

}  // namespace snipwell::mp3
