#pragma once
// The check word a CRC-protected Layer III frame carries right after its
// four header bytes: CRC-16 with polynomial 0x8005, starting from 0xFFFF,
// bits taken most significant first, over the last two header bytes and the
// whole side information. A decoder that checks it drops a frame whose side
// information was changed without the word being computed again.
//
// This is not the CRC of the LAME info tag (bits taken least significant
// first, starting from 0); see crc16.h for that one.

#include <cstdint>

namespace snipwell::mp3 {

// The check word over `frame`'s header bytes 2 and 3 and the
// `sideInfoBytes` bytes of side information that follow the word itself.
std::uint16_t layer3FrameCrc(const std::uint8_t* frame, std::uint32_t sideInfoBytes);

// The word the frame carries (bytes 4 and 5, big-endian).
std::uint16_t storedFrameCrc(const std::uint8_t* frame);

// Whether the stored word matches the frame's header and side information.
bool frameCrcMatches(const std::uint8_t* frame, std::uint32_t sideInfoBytes);

// Stores the word computed over the frame as it is now.
void rewriteFrameCrc(std::uint8_t* frame, std::uint32_t sideInfoBytes);

}  // namespace snipwell::mp3
