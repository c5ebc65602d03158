#include "mp3/layer3_frame.h"

namespace snipwell::mp3 {
namespace {

constexpr std::uint32_t crcAbsentBit = 1u << 16;
constexpr std::uint32_t paddingBit = 1u << 9;

}  // namespace

std::uint32_t maxReservoirBytes(MpegVersion version) {
    return version == MpegVersion::mpeg1 ? 511u : 255u;
}

std::uint32_t mainDataBegin(const std::uint8_t* frame, const FrameHeader& header) {
    const std::uint8_t* sideInfo = frame + (header.hasCrc ? 6 : 4);
    if (header.version == MpegVersion::mpeg1) {
        return (std::uint32_t{sideInfo[0]} << 1) | (std::uint32_t{sideInfo[1]} >> 7);
    }
    return sideInfo[0];
}

std::optional<BuiltHeader> headerHolding(std::uint32_t streamWord, std::uint32_t bytesAfterSideInfo,
                                         std::uint32_t preferredBitrateIndex) {
    const std::uint32_t base = (streamWord | crcAbsentBit) & ~paddingBit & ~(15u << 12);
    auto tryIndex = [&](std::uint32_t index) -> std::optional<BuiltHeader> {
        const std::uint32_t word = base | (index << 12);
        const auto header = headerOfWord(word);
        if (!header || header->frameBytes < header->sideInfoEnd() + bytesAfterSideInfo) {
            return std::nullopt;
        }
        return BuiltHeader{word, *header};
    };
    if (preferredBitrateIndex >= 1 && preferredBitrateIndex <= 14) {
        if (auto built = tryIndex(preferredBitrateIndex)) return built;
    }
    for (std::uint32_t index = 1; index <= 14; ++index) {
        if (auto built = tryIndex(index)) return built;
    }
    return std::nullopt;
}

}  // namespace snipwell::mp3
