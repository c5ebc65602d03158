#pragma once
// The four-byte header that starts every MPEG audio frame.

#include <cstdint>
#include <optional>

#include "mp3/byte_order.h"

namespace snipwell::mp3 {

enum class MpegVersion : std::uint8_t { mpeg1, mpeg2, mpeg25 };

struct FrameHeader {
    MpegVersion version = MpegVersion::mpeg1;
    int layer = 3;                 // 1, 2 or 3
    std::uint32_t sampleRate = 0;  // Hz
    std::uint32_t bitrateKbps = 0;
    std::uint32_t frameBytes = 0;  // header included
    std::uint32_t samplesPerFrame = 0;
    bool mono = false;
    bool hasCrc = false;

    // Bytes from the frame's start to the end of its Layer III side
    // information, where an encoder's info tag would begin.
    std::uint32_t sideInfoEnd() const;
};

// Reads the header at `bytes` (four bytes). Empty for anything that is not a
// usable header: no sync, reserved values, or free-format bitrate, whose frame
// length cannot be known from the header alone.
std::optional<FrameHeader> parseFrameHeader(const std::uint8_t* bytes);

// The header bits that stay fixed through one stream: sync, version, layer
// and sample rate. Bitrate, padding and channel mode may change per frame.
constexpr std::uint32_t streamIdentityMask = 0xFFFE0C00u;

// The header that a 32-bit header word (as read big-endian) stands for;
// empty when it is no usable header.
std::optional<FrameHeader> headerOfWord(std::uint32_t word);

inline std::uint32_t bitrateIndexOf(std::uint32_t word) { return (word >> 12) & 15u; }

// A header with sync, a valid version, layer and sample rate, but bitrate
// index 0: a free-format frame, whose length the header does not tell.
bool isFreeFormatHeader(std::uint32_t word);

}  // namespace snipwell::mp3
