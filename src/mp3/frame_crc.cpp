#include "mp3/frame_crc.h"

namespace snipwell::mp3 {
namespace {

constexpr std::uint32_t crcWordOffset = 4;
constexpr std::uint32_t sideInfoOffset = 6;

// Side information is at most 32 bytes, so a bitwise loop costs nothing
// next to copying the frame.
std::uint16_t update(std::uint16_t crc, std::uint8_t byte) {
    crc = static_cast<std::uint16_t>(crc ^ (std::uint16_t{byte} << 8));
    for (int bit = 0; bit < 8; ++bit) {
        crc = (crc & 0x8000u) != 0 ? static_cast<std::uint16_t>((crc << 1) ^ 0x8005u)
                                   : static_cast<std::uint16_t>(crc << 1);
    }
    return crc;
}

}  // namespace

std::uint16_t layer3FrameCrc(const std::uint8_t* frame, std::uint32_t sideInfoBytes) {
    std::uint16_t crc = 0xFFFFu;
    crc = update(crc, frame[2]);
    crc = update(crc, frame[3]);
    for (std::uint32_t i = 0; i < sideInfoBytes; ++i) crc = update(crc, frame[sideInfoOffset + i]);
    return crc;
}

std::uint16_t storedFrameCrc(const std::uint8_t* frame) {
    return static_cast<std::uint16_t>((frame[crcWordOffset] << 8) | frame[crcWordOffset + 1]);
}

bool frameCrcMatches(const std::uint8_t* frame, std::uint32_t sideInfoBytes) {
    return storedFrameCrc(frame) == layer3FrameCrc(frame, sideInfoBytes);
}

void rewriteFrameCrc(std::uint8_t* frame, std::uint32_t sideInfoBytes) {
    const std::uint16_t crc = layer3FrameCrc(frame, sideInfoBytes);
    frame[crcWordOffset] = static_cast<std::uint8_t>(crc >> 8);
    frame[crcWordOffset + 1] = static_cast<std::uint8_t>(crc);
}

}  // namespace snipwell::mp3
