#pragma once
// The four-byte header that starts every MPEG audio frame.

#include <cstdint>
#include <optional>

namespace snipwell::mci {

enum class MpegVersion : std::uint8_t { mpeg1, mpeg2, mpeg25 };

struct MpegFrameHeader {
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
std::optional<MpegFrameHeader> parseFrameHeader(const std::uint8_t* bytes);

// The header bits that stay fixed through one stream: sync, version, layer
// and sample rate. Bitrate, padding and channel mode may change per frame.
constexpr std::uint32_t streamIdentityMask = 0xFFFE0C00u;

inline std::uint32_t readBigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

}  // namespace snipwell::mci
