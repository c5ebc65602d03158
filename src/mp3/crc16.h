#pragma once
// The CRC-16 an MP3 info frame's LAME extension carries twice, over the music
// and over the tag itself: polynomial 0x8005, bits taken least significant
// first, starting from 0. Long runs are folded with carry-less
// multiplication where the processor has it (a 200 MB clip's music CRC then
// costs about a hundredth of a second), the rest eight bytes at a time.

#include <cstddef>
#include <cstdint>

namespace snipwell::mp3 {

// Continues `crc` over `count` bytes; start a new checksum with 0.
std::uint16_t crc16Update(std::uint16_t crc, const std::uint8_t* bytes, std::size_t count);

}  // namespace snipwell::mp3
