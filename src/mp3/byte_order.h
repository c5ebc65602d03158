#pragma once
// The byte orders MP3 files mix: big-endian frame headers and info frames,
// little-endian APEv2 fields, and ID3v2's syncsafe integers (seven bits a
// byte, so that a size never looks like a frame sync).

#include <cstdint>

namespace snipwell::mp3 {

inline std::uint32_t readBigEndian16(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 8) | std::uint32_t{bytes[1]};
}

inline std::uint32_t readBigEndian24(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 16) | (std::uint32_t{bytes[1]} << 8) |
           std::uint32_t{bytes[2]};
}

inline std::uint32_t readBigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

inline std::uint32_t readLittleEndian32(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
           (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
}

inline std::uint32_t readSyncsafe32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0] & 0x7Fu} << 21) | (std::uint32_t{bytes[1] & 0x7Fu} << 14) |
           (std::uint32_t{bytes[2] & 0x7Fu} << 7) | std::uint32_t{bytes[3] & 0x7Fu};
}

inline void writeBigEndian16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

inline void writeBigEndian32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

// The largest value four syncsafe bytes hold.
inline constexpr std::uint32_t largestSyncsafe = (1u << 28) - 1;

inline void writeSyncsafe32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>((value >> 21) & 0x7Fu);
    at[1] = static_cast<std::uint8_t>((value >> 14) & 0x7Fu);
    at[2] = static_cast<std::uint8_t>((value >> 7) & 0x7Fu);
    at[3] = static_cast<std::uint8_t>(value & 0x7Fu);
}

}  // namespace snipwell::mp3
