#include "mp3/frame_header.h"

#include <array>

namespace snipwell::mp3 {
namespace {

using BitrateRow = std::array<std::uint16_t, 15>;

constexpr BitrateRow mpeg1Layer1{0,   32,  64,  96,  128, 160, 192, 224,
                                 256, 288, 320, 352, 384, 416, 448};
constexpr BitrateRow mpeg1Layer2{0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
constexpr BitrateRow mpeg1Layer3{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr BitrateRow mpeg2Layer1{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256};
constexpr BitrateRow mpeg2Layer23{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

constexpr std::array<std::uint32_t, 3> mpeg1Rates{44100, 48000, 32000};
constexpr std::array<std::uint32_t, 3> mpeg2Rates{22050, 24000, 16000};
constexpr std::array<std::uint32_t, 3> mpeg25Rates{11025, 12000, 8000};

const BitrateRow& bitrateRow(MpegVersion version, int layer) {
    if (version == MpegVersion::mpeg1) {
        return layer == 1 ? mpeg1Layer1 : layer == 2 ? mpeg1Layer2 : mpeg1Layer3;
    }
    return layer == 1 ? mpeg2Layer1 : mpeg2Layer23;
}

}  // namespace

std::uint32_t FrameHeader::sideInfoEnd() const {
    const std::uint32_t header = hasCrc ? 6 : 4;
    if (version == MpegVersion::mpeg1) return header + (mono ? 17u : 32u);
    return header + (mono ? 9u : 17u);
}

std::optional<FrameHeader> parseFrameHeader(const std::uint8_t* bytes) {
    const std::uint32_t word = readBigEndian32(bytes);
    if ((word & 0xFFE00000u) != 0xFFE00000u) return std::nullopt;

    const std::uint32_t versionBits = (word >> 19) & 3u;
    const std::uint32_t layerBits = (word >> 17) & 3u;
    const std::uint32_t bitrateIndex = (word >> 12) & 15u;
    const std::uint32_t rateIndex = (word >> 10) & 3u;
    const std::uint32_t emphasis = word & 3u;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3 || emphasis == 2) {
        return std::nullopt;
    }

    FrameHeader header;
    header.version = versionBits == 3   ? MpegVersion::mpeg1
                     : versionBits == 2 ? MpegVersion::mpeg2
                                        : MpegVersion::mpeg25;
    header.layer = 4 - static_cast<int>(layerBits);
    header.hasCrc = ((word >> 16) & 1u) == 0;
    header.mono = ((word >> 6) & 3u) == 3;
    const auto& rates = header.version == MpegVersion::mpeg1   ? mpeg1Rates
                        : header.version == MpegVersion::mpeg2 ? mpeg2Rates
                                                               : mpeg25Rates;
    header.sampleRate = rates[rateIndex];
    header.bitrateKbps = bitrateRow(header.version, header.layer)[bitrateIndex];

    const std::uint32_t padding = (word >> 9) & 1u;
    const std::uint32_t bitsPerSecond = header.bitrateKbps * 1000;
    if (header.layer == 1) {
        header.samplesPerFrame = 384;
        header.frameBytes = (12 * bitsPerSecond / header.sampleRate + padding) * 4;
    } else if (header.layer == 2 || header.version == MpegVersion::mpeg1) {
        header.samplesPerFrame = 1152;
        header.frameBytes = 144 * bitsPerSecond / header.sampleRate + padding;
    } else {
        header.samplesPerFrame = 576;
        header.frameBytes = 72 * bitsPerSecond / header.sampleRate + padding;
    }
    return header;
}

std::optional<FrameHeader> headerOfWord(std::uint32_t word) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16),
        static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)};
    return parseFrameHeader(bytes);
}

bool isFreeFormatHeader(std::uint32_t word) {
    if ((word & 0xFFE00000u) != 0xFFE00000u) return false;
    const std::uint32_t versionBits = (word >> 19) & 3u;
    const std::uint32_t layerBits = (word >> 17) & 3u;
    const std::uint32_t rateIndex = (word >> 10) & 3u;
    return versionBits != 1 && layerBits != 0 && rateIndex != 3 && bitrateIndexOf(word) == 0 &&
           (word & 3u) != 2;
}

}  // namespace snipwell::mp3
